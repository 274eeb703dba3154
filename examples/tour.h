// One section of the tour per container family.
#ifndef PTRBOX_EXAMPLES_TOUR_H
#define PTRBOX_EXAMPLES_TOUR_H

void tourModern();
void tourList();
void tourHash();
void tourTree();
void tourMTree();
void tourObjectLst();

#endif

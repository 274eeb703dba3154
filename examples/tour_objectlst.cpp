#include "tour.h"

void tourObjectLst() {}

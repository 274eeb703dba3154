#include "tour.h"

void tourMTree() {}

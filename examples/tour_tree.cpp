#include "tour.h"

void tourTree() {}

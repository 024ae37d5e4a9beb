#include "horse/horse.h"

void horseSection(LoopState&) {
    scriptWait(0);
}

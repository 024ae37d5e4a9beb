#include "horse/horse.h"

void horseSection(LoopState& s) {
    if (fetchTarget(s)) {
        drinkCommand(s);
        staminaWhileDrinkingOrResting(s);
        grazingHealthRefill(s);
    }
    grazingBonus(s);
    restTimeCare(s);
    hostWait(0); // the one end of every pass
}

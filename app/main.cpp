// Lumicue: a large pointer picture that follows the mouse, for teaching,
// presentations and screencasts.
#include "app/LumicueApp.h"

// Static objects, constructed before the program starts in this order.
static CLumicueApp theApp;

int main(int argc, char** argv)
{
    return theApp.Run(argc, argv);
}

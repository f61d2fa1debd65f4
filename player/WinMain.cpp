#include "player/PlayerApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    lumbra::PlayerApp app(instance);
    return app.run();
}

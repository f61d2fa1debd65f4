#include "host/HostClasses.h"

#include "host/ApplicationClass.h"
#include "host/ApplicationFunctions.h"
#include "host/FlashPlayerClass.h"

namespace lumbra::host {

orvet::HostClasses hostClasses(void* host)
{
    orvet::HostClasses classes;
    classes.host = host;
    classes.flashPlayer = registerFlashPlayer;
    classes.movieClip = registerMovieClip;
    classes.applicationFunctions = registerApplicationFunctions;
    classes.application = registerApplication;
    return classes;
}

} // namespace lumbra::host

// flash.text.TextRenderer: the settings of advanced anti-aliasing. This
// player draws text one way; the quality level reads back as set (4 unless
// changed) and the anti-aliasing tables a movie gives are accepted.
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/Packages.h"

namespace lumbra::movie {

void installTextRenderer(Machine& m)
{
    ActionObject* proto = m.newObject();
    ActionObject* renderer = m.newFunction(constructInstance, proto);
    packageObject(m, u"flash.text")->set(u"TextRenderer", Value(renderer));
    renderer->set(u"maxLevel", 4.0, DontEnum);
    m.method(renderer, u"setAdvancedAntialiasingTable", nativeUndefined);
}

} // namespace lumbra::movie

// Hand assembly of timeline tags (sprites, placements with clip events,
// exports) and of script calls on clips, for the timeline and clip tests.
#pragma once

#include "ActionAssembler.h"

#include "control/movie/Geometry.h"

#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace lumbra::movie::test {

enum : unsigned { ShowFrame = 1, DoAction = 12, PlaceObject2 = 26, RemoveObject2 = 28, DefineSprite = 39,
                  FrameLabel = 43, ExportAssets = 56, DoInitAction = 59 };
enum : std::uint32_t { Load = 0x1, EnterFrame = 0x2, Unload = 0x4 };
enum : std::uint8_t { Pop = 0x17, GetVariable = 0x1C, SetVariable = 0x1D, GetProperty = 0x22, SetProperty = 0x23,
                      CloneSprite = 0x24, RemoveSprite = 0x25, CallFunction = 0x3D, InitArray = 0x42,
                      InitObject = 0x43, GetMember = 0x4E, SetMember = 0x4F, CallMethod = 0x52 };

void add(Asm::Bytes& to, const Asm::Bytes& from);
void u16(Asm::Bytes& b, unsigned v);
void u32(Asm::Bytes& b, std::uint32_t v);

Asm::Bytes doAction(const Asm& code);
// A sprite whose frames trace "<name> frame N".
Asm::Bytes sprite(unsigned id, int frames, const std::string& name);
// A sprite of the given tags (each frame's tags, ShowFrame added).
Asm::Bytes spriteOf(unsigned id, const std::vector<Asm::Bytes>& frames);
// PlaceObject2 of a character with a name and onClipEvent handlers (version 6 layout).
Asm::Bytes place(unsigned id, unsigned depth, const std::string& name,
                 const std::vector<std::pair<std::uint32_t, Asm>>& handlers = {});
// PlaceObject2 moving what is at the depth.
Asm::Bytes moveTo(unsigned depth, const Matrix& matrix);
Asm::Bytes removeAt(unsigned depth);
Asm::Bytes exportAs(unsigned id, const std::string& name);
Asm::Bytes initActions(unsigned id, const Asm& code);
Asm::Bytes showFrame();

using Arg = std::variant<double, std::string>;
// path.method(args...); the result is dropped unless `keep`.
Asm& call(Asm& a, const std::string& path, const std::string& method, const std::vector<Arg>& args = {},
          bool keep = false);
// trace(path.member)
Asm& traceMember(Asm& a, const std::string& path, const std::string& member);

} // namespace lumbra::movie::test

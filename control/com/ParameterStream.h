// The control's parameters in a stream, for containers that save their
// controls through IPersistStreamInit. Little-endian:
//   u32 "LFP1", u32 count (at most 64), then per parameter
//   u32 name length (at most 64 units), the name in UTF-16,
//   u32 value length (at most 1 MiB units), the value as text in UTF-16.
// The stream comes from a container's document: anything else is refused
// without changing the control.
#pragma once

#include <objidl.h>

namespace lumbra::com {

class MovieControl;

HRESULT saveParameterStream(MovieControl& control, IStream* stream);
// STG_E_DOCFILECORRUPT when the stream holds no parameters in this form.
HRESULT loadParameterStream(MovieControl& control, IStream* stream);
// The bytes saveParameterStream would write now.
ULONGLONG parameterStreamSize(MovieControl& control);

} // namespace lumbra::com

// The layer shell's generated client header, readable from C++: one of its
// functions names a parameter "namespace", a C++ keyword, which is renamed
// while the header is read.
#pragma once

#ifdef FLOWBALL_LAYER_SHELL
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
#else
struct zwlr_layer_shell_v1;
#endif

#pragma once

#if defined(TARNWICKLIB_BUILDING)
#define TWLIB_API __attribute__((visibility("default")))
#else
#define TWLIB_API
#endif

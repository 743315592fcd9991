#pragma once

#if defined(SAVECORE_BUILDING)
#define SAVECORE_API __attribute__((visibility("default")))
#else
#define SAVECORE_API
#endif

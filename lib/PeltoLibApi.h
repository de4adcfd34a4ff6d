// Export marker for the classes of PeltoLib. The portable core is also built natively as a plain
// static library, where the marker is empty.
#pragma once

#if defined(PELTO_STATIC) || !defined(_WIN32)
#define PELTOLIB_API
#elif defined(PELTOLIB_BUILD)
#define PELTOLIB_API __declspec(dllexport)
#else
#define PELTOLIB_API __declspec(dllimport)
#endif

// Export marker for the framework layer, which lives in its own DLL so that every module of a
// process shares one window map and one current resource module.
#pragma once

#if defined(FX_BUILD)
#define FX_API __declspec(dllexport)
#else
#define FX_API __declspec(dllimport)
#endif

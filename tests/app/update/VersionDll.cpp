// A module that exists only to carry a version resource for the reader's tests.
extern "C" __declspec(dllexport) int UpdateTestVersionModule() { return 1; }

// Loads oleacc.dll by its bare name, as a program that does not restrict its DLL search would: with
// the planted DLL beside it and Wine told to prefer native DLLs, the planted one must be taken.
// The exit code says whether a DLL was loaded at all.

#include <windows.h>

int main() { return LoadLibraryW(L"oleacc.dll") ? 0 : 1; }

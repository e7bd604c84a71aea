// The export table of a built shared library, as a program that loads it sees it, for
// the tests that hold each library to its published interface.
#pragma once

#include <set>
#include <string>

namespace kit::testing {

// Names listed one per line in a file; blank lines and lines starting with '#' are
// skipped.
std::set<std::string> ReadSymbolList(const std::string& listFile);

// Every symbol the library defines in its dynamic symbol table, less those a sanitizer
// build adds for its own bookkeeping. Throws std::runtime_error when nm cannot read it.
std::set<std::string> ExportedSymbols(const std::string& library);

// The symbols of `names` that a dlopen of the library cannot resolve.
std::set<std::string> UnresolvedSymbols(const std::string& library, const std::set<std::string>& names);

}  // namespace kit::testing

#include "core/error_messages.h"

namespace lxra {
namespace {

// Codes without a row (1253 to 1256 among them) have no description. Some rows exist
// only to describe errors of the tools that produce grammars.
constexpr ErrorMessage kMessages[] = {
    {1001, "Internal error"},
    {1002, "Unresolved symbol"},
    {1003, "External symbol is not registered"},
    {1004, "Max stack exceeded"},
    {1005, "Parse failed"},
    {1006, "End-of-file expected"},
    {1007, "Constraint violation"},
    {1008, "Could not resolve start symbol"},
    {1009, "#SYMBOL function failed - could not resolve symbol name"},
    {1010, "No implicit delimiter found after literal"},
    {1011, "No ending quote found for 'quotedstring'"},
    {1099, "Parse Aborted"},
    {1102, "Invalid extension for GMR file"},
    {1103, "Error opening grammar file"},
    {1104, "Incorrect grammar version"},
    {1105, "Grammar is invalid"},
    {1150, "Error registering event listener"},
    {1151, "Error registering external symbol"},
    {1202, "Error compiling grammar"},
    {1203, "Error loading file"},
    {1204, "Invalid file extension"},
    {1205, "Link error"},
    {1250, "Error allocating memory"},
    {1251, "Maximum number of symbol names exceeded"},
    {1252, "Maximum name length exceeded"},
    {1257, "Memory allocation error building tree"},
    {1263, "Maximum number of parent grammars exceeded"},
    {1264, "Specified name is a reserved word"},
    {1302, "Error initializing grammar compiler"},
    {1303, "Error loading project grammar"},
    {1304, "Error loading project file"},
    {1305, "Error parsing project file"},
    {1306, "Error loading target grammar"},
    {1307, "Error loading debug information"},
    {1402, "Error loading GDF grammar"},
    {1403, "Error parsing grammar"},
    {1502, "Max byte codes exceeded"},
    {1503, "Max number of symbols exceeded"},
    {1504, "Max number of symbol names exceeded"},
    {1505, "External symbol encountered"},
    {1506, "Unresolved symbol"},
    {1507, "Duplicate symbols"},
    {1508, "Left-recursion detected"},
    {1510, "Symbol name refers to grammar"},
    {1511, "Generated a unique name for project grammar to avoid name conflict"},
    {1551, "Value ignored for attribute"},
    {1552, "No value specified for attribute SPACE; using defaults"},
    {1553, "Invalid value assigned to attribute SPACE; using defaults"},
    {1554, "Production encountered for symbol; EXTERNAL attribute will be ignored"},
    {1555, "No production defined for symbol; assumed EXTERNAL"},
    {1556, "Reserved attribute not currently implemented"},
    {1557, "Unrecognized attribute name"},
    {1558, "No value specified for attribute TOKEN"},
    {1559, "Unresolved symbol name specified for attribute TOKEN"},
    {1560, "Unrecognized variable name"},
    {1600, "No grammar has been set"},
    {1601, "No input file or buffer has been set"},
    {1602, "Error opening the source file"},
    {1603, "No source data stream is currently open"},
    {1604, "There is no parse currently in progress"},
    {1610, "Could not open cache file"},
    {1611, "Invalid cache - Wrong cache version"},
    {1612, "Invalid cache - Referenced grammar file has been modified"},
    {1613, "Invalid cache - Referenced source file has been modified"},
    {1614, "Invalid cache"},
    {1615, "Invalid cache - Could not load parse tree"},
    {1700, "User defined parse error"},
    {1701, "Synchronization parse error"},
    {1702, "Unexpected text"},
    {1703, "Expected term not found"},
};

}  // namespace

std::span<const ErrorMessage> ErrorMessageTable()
{
    return kMessages;
}

const char* FindErrorMessage(long code)
{
    for (const ErrorMessage& row : kMessages) {
        if (row.code == code) {
            return row.text;
        }
    }
    return nullptr;
}

}  // namespace lxra

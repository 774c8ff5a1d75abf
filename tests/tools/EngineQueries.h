// Reading the engine's database through TAPIInterface's own SQL calls, as the
// program does, for tests that check what the engine stored.
#ifndef TESMO_TESTS_TOOLS_ENGINEQUERIES_H
#define TESMO_TESTS_TOOLS_ENGINEQUERIES_H

#include <string>
#include <vector>

#include "TAPIInterface.h"

// The first column of the first row as an integer; -1 when the query fails or
// finds nothing.
int QueryInt(TAPIInterface& api, const std::string& sql);
// The first column of the first row; "" when the query fails or finds nothing.
std::string QueryText(TAPIInterface& api, const std::string& sql);
// Every row, its columns joined with "|".
std::vector<std::string> QueryRows(TAPIInterface& api, const std::string& sql);

#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>

#include "common/text.h"
#include "platform/database/connection_handles.h"
#include "platform/database/database.h"
#include "platform/database/sql_parameters.h"
#include "platform/database/streamed_file.h"
#include "platform/database/utf16.h"

namespace torvik::db {

namespace {

struct ResultColumn {
    std::string name;
    bool kept = true;  // false for a long binary column
};

}  // namespace

struct Query::Result {
    std::vector<ResultColumn> columns;
    std::vector<std::vector<std::optional<std::string>>> rows;
    size_t position = 0;

    std::optional<size_t> ColumnIndex(const std::string& name) const
    {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (SameText(columns[i].name, name)) {
                return i;
            }
        }
        return std::nullopt;
    }
};

namespace {

// Bigger binary columns are streamed, never kept in a row; SQL Server reports its
// "max" types with a size of 0.
constexpr SQLULEN kLongestKeptBinary = 8000;
constexpr size_t kBinaryChunk = 16 * 1024;
constexpr size_t kTextChunkUnits = 4096;

using Parameters = std::vector<std::pair<std::string, std::variant<std::string, long>>>;

// What a bound parameter points at; it lives until the statement has run.
struct ParameterBuffer {
    std::vector<SQLWCHAR> text;
    SQLBIGINT number = 0;
    SQLLEN indicator = 0;
};

void SetQueryTimeout(const OdbcHandle& statement, long seconds)
{
    const SQLRETURN result =
        SQLSetStmtAttrW(statement.get(), SQL_ATTR_QUERY_TIMEOUT,
                        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max(seconds, 0L))), SQL_IS_UINTEGER);
    if (Succeeded(result)) {
        return;  // a driver that lowers the value says so with 01S02
    }
    for (const DiagnosticRecord& record : Diagnostics(statement)) {
        if (record.state == "HYC00" || record.state == "01S02") {
            return;  // no time-out in this driver, or none that large: the query still runs
        }
    }
    Check(result, statement, "SQLSetStmtAttr");
}

void BindParameters(const OdbcHandle& statement, const std::vector<std::string>& names, const Parameters& parameters,
                    std::vector<ParameterBuffer>& buffers)
{
    buffers.resize(names.size());  // not resized again: the driver keeps the addresses
    for (size_t i = 0; i < names.size(); ++i) {
        const auto given = std::find_if(parameters.begin(), parameters.end(),
                                        [&](const auto& parameter) { return SameText(parameter.first, names[i]); });
        if (given == parameters.end()) {
            throw DatabaseError("No value given for the parameter '" + names[i] + "'.");
        }
        ParameterBuffer& buffer = buffers[i];
        const auto number = static_cast<SQLUSMALLINT>(i + 1);
        SQLRETURN result = SQL_ERROR;
        if (const auto* text = std::get_if<std::string>(&given->second)) {
            buffer.text = Utf16FromUtf8(*text);
            const size_t units = buffer.text.size() - 1;
            buffer.indicator = static_cast<SQLLEN>(units * sizeof(SQLWCHAR));
            result = SQLBindParameter(statement.get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_VARCHAR,
                                      std::max<SQLULEN>(units, 1), 0, buffer.text.data(),
                                      static_cast<SQLLEN>(buffer.text.size() * sizeof(SQLWCHAR)), &buffer.indicator);
        } else {
            buffer.number = std::get<long>(given->second);
            buffer.indicator = 0;
            const bool fitsInteger = buffer.number >= std::numeric_limits<int32_t>::min() &&
                                     buffer.number <= std::numeric_limits<int32_t>::max();
            result =
                SQLBindParameter(statement.get(), number, SQL_PARAM_INPUT, SQL_C_SBIGINT,
                                 fitsInteger ? SQL_INTEGER : SQL_BIGINT, 0, 0, &buffer.number, 0, &buffer.indicator);
        }
        Check(result, statement, "SQLBindParameter");
    }
}

// Runs the query on the connection, opening the connection first when it is closed, as
// a dataset on a closed connection does.
OdbcHandle Execute(Connection& connection, const std::vector<std::string>& lines, const Parameters& parameters)
{
    connection.Open();
    OdbcHandle statement(SQL_HANDLE_STMT, connection.handles().connection);
    SetQueryTimeout(statement, connection.CommandTimeout());

    std::string sql;
    for (size_t i = 0; i < lines.size(); ++i) {
        sql += (i == 0 ? "" : "\n") + lines[i];
    }
    const PositionalSql positional = ReplaceNamedParameters(sql);
    std::vector<ParameterBuffer> buffers;
    BindParameters(statement, positional.parameters, parameters, buffers);

    std::vector<SQLWCHAR> text = Utf16FromUtf8(positional.sql);
    const SQLRETURN result = SQLExecDirectW(statement.get(), text.data(), static_cast<SQLINTEGER>(text.size() - 1));
    if (result != SQL_NO_DATA) {
        Check(result, statement, "SQLExecDirect");
    }
    SQLFreeStmt(statement.get(), SQL_RESET_PARAMS);
    return statement;
}

std::vector<ResultColumn> DescribeColumns(const OdbcHandle& statement)
{
    SQLSMALLINT count = 0;
    Check(SQLNumResultCols(statement.get(), &count), statement, "SQLNumResultCols");
    if (count <= 0) {
        throw DatabaseError("The query returns no rows to read.");
    }
    std::vector<ResultColumn> columns;
    for (SQLUSMALLINT number = 1; number <= count; ++number) {
        std::vector<SQLWCHAR> name(256);
        SQLSMALLINT length = 0;
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        Check(SQLDescribeColW(statement.get(), number, name.data(), static_cast<SQLSMALLINT>(name.size()), &length,
                              &type, &size, &digits, &nullable),
              statement, "SQLDescribeCol");
        if (length >= static_cast<SQLSMALLINT>(name.size())) {
            name.resize(static_cast<size_t>(length) + 1);
            Check(SQLDescribeColW(statement.get(), number, name.data(), static_cast<SQLSMALLINT>(name.size()), &length,
                                  &type, &size, &digits, &nullable),
                  statement, "SQLDescribeCol");
        }
        const bool longBinary = type == SQL_LONGVARBINARY || ((type == SQL_VARBINARY || type == SQL_BINARY) &&
                                                              (size == 0 || size > kLongestKeptBinary));
        const size_t units = std::min(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), name.size() - 1);
        columns.push_back({Utf8FromUtf16(name.data(), units), !longBinary});
    }
    return columns;
}

// One column of the current row as text, read in pieces so that long text is whole.
std::optional<std::string> ReadText(const OdbcHandle& statement, SQLUSMALLINT column)
{
    std::vector<SQLWCHAR> text;
    std::array<SQLWCHAR, kTextChunkUnits> chunk{};
    constexpr auto kRoom = static_cast<SQLLEN>((kTextChunkUnits - 1) * sizeof(SQLWCHAR));  // less the final 0
    while (true) {
        SQLLEN indicator = 0;
        const SQLRETURN result = SQLGetData(statement.get(), column, SQL_C_WCHAR, chunk.data(),
                                            static_cast<SQLLEN>(sizeof chunk), &indicator);
        if (result == SQL_NO_DATA) {
            break;
        }
        Check(result, statement, "SQLGetData");
        if (indicator == SQL_NULL_DATA) {
            return std::nullopt;
        }
        const bool whole = indicator != SQL_NO_TOTAL && indicator <= kRoom;
        const SQLLEN bytes = whole ? std::max<SQLLEN>(indicator, 0) : kRoom;
        text.insert(text.end(), chunk.begin(), chunk.begin() + bytes / static_cast<SQLLEN>(sizeof(SQLWCHAR)));
        if (result == SQL_SUCCESS || whole) {
            break;
        }
    }
    return Utf8FromUtf16(text.data(), text.size());
}

// One column of the current row into the file, a chunk at a time; a null writes nothing.
void StreamColumn(const OdbcHandle& statement, SQLUSMALLINT column, StreamedFile& file)
{
    std::vector<unsigned char> chunk(kBinaryChunk);
    const auto room = static_cast<SQLLEN>(chunk.size());
    while (true) {
        SQLLEN indicator = 0;
        const SQLRETURN result = SQLGetData(statement.get(), column, SQL_C_BINARY, chunk.data(), room, &indicator);
        if (result == SQL_NO_DATA) {
            return;
        }
        Check(result, statement, "SQLGetData");
        if (indicator == SQL_NULL_DATA) {
            return;
        }
        const bool whole = indicator != SQL_NO_TOTAL && indicator <= room;
        file.Write(chunk.data(), static_cast<size_t>(whole ? std::max<SQLLEN>(indicator, 0) : room));
        if (result == SQL_SUCCESS || whole) {
            return;
        }
    }
}

// Reads the next row's kept columns; false after the last row.
bool FetchRow(const OdbcHandle& statement, const std::vector<ResultColumn>& columns,
              std::vector<std::optional<std::string>>& row)
{
    const SQLRETURN result = SQLFetch(statement.get());
    if (result == SQL_NO_DATA) {
        return false;
    }
    Check(result, statement, "SQLFetch");
    row.assign(columns.size(), std::nullopt);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].kept) {
            row[i] = ReadText(statement, static_cast<SQLUSMALLINT>(i + 1));
        }
    }
    return true;
}

}  // namespace

void Connection::Execute(const std::string& sql)
{
    db::Execute(*this, {sql}, {});
}

Query::Query(Connection& connection) : connection_(connection) {}

Query::~Query() = default;

void Query::SetParameter(const std::string& name, const std::string& value)
{
    for (auto& parameter : parameters_) {
        if (SameText(parameter.first, name)) {
            parameter.second = value;
            return;
        }
    }
    parameters_.emplace_back(name, value);
}

void Query::SetParameter(const std::string& name, long value)
{
    for (auto& parameter : parameters_) {
        if (SameText(parameter.first, name)) {
            parameter.second = value;
            return;
        }
    }
    parameters_.emplace_back(name, value);
}

void Query::Open()
{
    if (result_ != nullptr) {
        return;  // an open query is not fetched again
    }
    const OdbcHandle statement = Execute(connection_, SQL, parameters_);
    auto result = std::make_unique<Result>();
    result->columns = DescribeColumns(statement);
    std::vector<std::optional<std::string>> row;
    while (FetchRow(statement, result->columns, row)) {
        result->rows.push_back(std::move(row));
    }
    result_ = std::move(result);
}

void Query::Close()
{
    result_.reset();
}

bool Query::Active() const
{
    return result_ != nullptr;
}

long Query::RecordCount() const
{
    return result_ == nullptr ? 0 : static_cast<long>(result_->rows.size());
}

void Query::First()
{
    if (result_ != nullptr) {
        result_->position = 0;
    }
}

void Query::Next()
{
    if (result_ != nullptr && result_->position < result_->rows.size()) {
        ++result_->position;
    }
}

bool Query::Eof() const
{
    return result_ == nullptr || result_->position >= result_->rows.size();
}

Value Query::Field(const std::string& name) const
{
    if (result_ == nullptr) {
        throw DatabaseError("The query is not open.");
    }
    const std::optional<size_t> column = result_->ColumnIndex(name);
    if (!column.has_value()) {
        throw UpdaterError("Field '" + name + "' not found");
    }
    if (!result_->columns[*column].kept) {
        throw DatabaseError("Field '" + name + "' holds long binary data, which is only written to a file.");
    }
    if (Eof()) {
        throw DatabaseError("The query has no current row.");
    }
    const std::optional<std::string>& value = result_->rows[result_->position][*column];
    return value.has_value() ? Value(*value) : Value();
}

bool Query::Locate(const std::string& column, const std::string& value)
{
    if (result_ == nullptr) {
        throw DatabaseError("The query is not open.");
    }
    const std::optional<size_t> index = result_->ColumnIndex(column);
    if (!index.has_value()) {
        throw UpdaterError("Field '" + column + "' not found");
    }
    for (size_t row = 0; row < result_->rows.size(); ++row) {
        const std::optional<std::string>& candidate = result_->rows[row][*index];
        if (candidate.has_value() && SameText(*candidate, value)) {
            result_->position = row;
            return true;
        }
    }
    return false;
}

bool Query::StreamToFile(const std::string& binaryColumn, const std::string& path)
{
    Close();
    const OdbcHandle statement = Execute(connection_, SQL, parameters_);
    auto result = std::make_unique<Result>();
    result->columns = DescribeColumns(statement);
    const std::optional<size_t> streamed = result->ColumnIndex(binaryColumn);
    if (!streamed.has_value()) {
        throw UpdaterError("Field '" + binaryColumn + "' not found");
    }
    result->columns[*streamed].kept = false;

    // The file is created only once a row has come: no row, no file.
    const SQLRETURN fetched = SQLFetch(statement.get());
    if (fetched == SQL_NO_DATA) {
        result_ = std::move(result);
        return false;
    }
    Check(fetched, statement, "SQLFetch");
    StreamedFile file(path);
    std::vector<std::optional<std::string>> row(result->columns.size());
    for (size_t i = 0; i < result->columns.size(); ++i) {
        const auto number = static_cast<SQLUSMALLINT>(i + 1);
        if (i == *streamed) {
            StreamColumn(statement, number, file);
        } else if (result->columns[i].kept) {
            row[i] = ReadText(statement, number);
        }
    }
    file.Commit();
    result->rows.push_back(std::move(row));
    result_ = std::move(result);
    return true;
}

Table::Table(Connection& connection, std::string tableName) : Query(connection), tableName_(std::move(tableName))
{
    SQL = {"SELECT * FROM " + tableName_};
}

}  // namespace torvik::db

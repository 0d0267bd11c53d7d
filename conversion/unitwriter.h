#pragma once

#include "tablestructure.h"
#include "textfile.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvane::conversion {

/// The unit name for destination path `path`: its file name without the last extension.
std::string unitName(std::string_view path);

/// `text` as a Pascal string literal: quotes doubled, control bytes written as #NN.
/// Inside a brace comment the braces are written as #123 and #125 too, so a name can
/// neither end the comment early nor open a nested one.
std::string pascalLiteral(std::string_view text, bool insideBraceComment = false);

/// Composes the generated unit piece by piece, in the order the conversion run calls them.
class UnitWriter {
public:
    explicit UnitWriter(TextFile& file) : file_(file) {}

    /// The unit's opening lines, up to the "begin" of CreateDataBase.
    void writeOpening(std::string_view unitPath, std::string_view autoDatabaseExpression);
    /// A table block's opening lines, up to the field section's "Clear;".
    void writeBlockHead(std::string_view tableName);
    /// One field line.
    void writeField(const FieldDef& field);
    /// The two lines that close the field section.
    void writeFieldSectionEnd();
    /// The index section, commented out when no index is primary; nothing without indexes.
    void writeIndexSection(const std::vector<IndexDef>& indexes);
    /// The lines that close a table block.
    void writeBlockEnd();
    /// The unit's closing lines.
    void writeClosing();

private:
    void line(std::string_view text) { file_.writeLine(text); }

    TextFile& file_;
};

} // namespace kelvane::conversion

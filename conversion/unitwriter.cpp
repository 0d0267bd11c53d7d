#include "unitwriter.h"

#include "typenames.h"

#include <algorithm>

namespace kelvane::conversion {

std::string unitName(std::string_view path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = file.find_last_of('.');
    return std::string(dot == std::string_view::npos ? file : file.substr(0, dot));
}

std::string pascalLiteral(std::string_view text, bool insideBraceComment)
{
    std::string literal;
    bool quoted = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool asCode = byte < 0x20 || (insideBraceComment && (c == '{' || c == '}'));
        if (asCode) {
            if (quoted)
                literal += '\'';
            quoted = false;
            literal += '#';
            literal += std::to_string(byte);
            continue;
        }
        if (!quoted)
            literal += '\'';
        quoted = true;
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    if (quoted)
        literal += '\'';
    return literal.empty() ? std::string("''") : literal;
}

void UnitWriter::writeOpening(std::string_view unitPath, std::string_view autoDatabaseExpression)
{
    line("");
    line("// File created by Morvask with Kelvane 1.1");
    line("// Enjoy!");
    line("");
    line("Unit " + unitName(unitPath) + ";");
    line("");
    line("Interface");
    line("");
    line("uses");
    line("  SysUtils, Windows, Messages, Classes, Graphics, Controls,");
    line("  Forms, Dialogs, Buttons, Menus, ExtCtrls, DB, DBTables, DbiProcs;");
    line("");
    line("procedure CreateDataBase(Directory:string);");
    line("procedure AutoCreateDataBase;");
    line("");
    line("Implementation");
    line("");
    line("procedure AutoCreateDataBase;");
    line("begin");
    line("  CreateDatabase(" + std::string(autoDatabaseExpression) + ");");
    line("end;");
    line("");
    line("procedure CreateDataBase(Directory:string);");
    line("begin");
}

void UnitWriter::writeBlockHead(std::string_view tableName)
{
    line("");
    line("  with TTable.Create(Application) do");
    line("  begin");
    line("    Active := false;");
    line("    DatabaseName := Directory;");
    line("    TableName := " + pascalLiteral(tableName) + ";");
    line("    TableType := ttParadox;");
    line("");
    line("    With FieldDefs do");
    line("    Begin");
    line("      Clear;");
}

void UnitWriter::writeField(const FieldDef& field)
{
    line("      Add(" + pascalLiteral(field.name) + ", " + Type2Str(field.dataType) + ", " +
         std::to_string(field.size) + ", " + (field.required ? "True" : "False") + ");");
}

void UnitWriter::writeFieldSectionEnd()
{
    line("    End;");
    line("");
}

void UnitWriter::writeIndexSection(const std::vector<IndexDef>& indexes)
{
    if (indexes.empty())
        return;
    const bool commented = std::none_of(indexes.begin(), indexes.end(),
                                        [](const IndexDef& index) { return index.options & ixPrimary; });
    if (commented) {
        line("{");
        line("Attention! this part of code is commented because the primary index");
        line("is not present on this table and this can raise errors during the creation");
        line("");
    }
    line("    With IndexDefs do");
    line("    Begin");
    line("      Clear;");
    for (const IndexDef& index : indexes)
        line("      Add(" + pascalLiteral(index.name, commented) + ", " + pascalLiteral(index.fields, commented) +
             ", [" + Opt2Str(index.options) + "]);");
    line("    End;");
    if (commented)
        line("}");
    line("");
}

void UnitWriter::writeBlockEnd()
{
    line("    CreateTable;");
    line("");
    line("  End;");
}

void UnitWriter::writeClosing()
{
    line("End;");
    line("");
    line("End.");
}

} // namespace kelvane::conversion

// The dialog templates of the simulated Windows, read from res/vantinst.rc itself when
// a test first opens a dialog, so that the simulated dialogs have the controls, texts
// and initial states that the real templates give them and cannot drift from them.
//
// The reader knows only what vantinst.rc writes: a DIALOG or DIALOGEX header named by
// an IDD_ name of resource.h, a CAPTION line, and between BEGIN and END one CONTROL
// statement per control (text, id, class, style, x, y, width, height), possibly over
// several lines. Names are resolved through res/resource.h and the SDK's IDOK and
// IDCANCEL. Anything else it meets in a template stops the test run with a message:
// a template that the simulator reads wrongly would make every dialog test worthless.
#include "tests/sim/SimWindows.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#ifndef VANTINST_SOURCE_DIR
#error "VANTINST_SOURCE_DIR must name the source tree: the simulator reads res/vantinst.rc from it"
#endif

namespace sim {

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "simulator: res/vantinst.rc: %s\n", what.c_str());
    std::abort();
}

std::string ReadSource(const char* relative)
{
    std::ifstream in(std::string(VANTINST_SOURCE_DIR) + "/" + relative, std::ios::binary);
    if (!in)
        Fail(std::string("cannot read ") + relative);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The numeric #defines of resource.h, and the SDK's ids that the templates use.
const std::map<std::string, int>& Names()
{
    static const std::map<std::string, int> names = [] {
        std::map<std::string, int> found{{"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}};
        std::istringstream header(ReadSource("res/resource.h"));
        std::regex define(R"(^#define\s+(\w+)\s+\(?\s*(-?(0x[0-9A-Fa-f]+|\d+))\s*\)?\s*$)");
        std::string line;
        std::smatch m;
        while (std::getline(header, line)) {
            if (std::regex_match(line, m, define))
                found[m[1]] = static_cast<int>(std::stol(m[2], nullptr, 0));
        }
        return found;
    }();
    return names;
}

int Resolve(const std::string& token)
{
    auto found = Names().find(token);
    if (found == Names().end())
        Fail("unknown name " + token);
    return found->second;
}

std::string Trim(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t\r\n");
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The bytes of a quoted resource string: octal escapes (code page 1252) and \n, \", \\.
std::string Unquote(const std::string& token)
{
    std::string quoted = Trim(token);
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
        Fail("expected a string, found " + token);
    std::string text;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        char c = quoted[i];
        if (c != '\\') {
            text += c;
            continue;
        }
        char next = quoted[++i];
        if (next >= '0' && next <= '7') {
            int value = 0;
            for (int digits = 0; digits < 3 && quoted[i] >= '0' && quoted[i] <= '7'; ++digits, ++i)
                value = value * 8 + (quoted[i] - '0');
            --i;
            text += static_cast<char>(value);
        } else if (next == 'n') {
            text += '\n';
        } else if (next == '"' || next == '\\') {
            text += next;
        } else {
            Fail(std::string("unknown escape \\") + next);
        }
    }
    return text;
}

// A line without its // comment (none of the template's strings holds "//").
std::string WithoutComment(const std::string& line)
{
    bool inString = false;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] == '"')
            inString = !inString;
        if (!inString && line[i] == '/' && line[i + 1] == '/')
            return line.substr(0, i);
    }
    return line;
}

// The fields of a CONTROL statement, split at the commas outside strings.
std::vector<std::string> Fields(const std::string& statement)
{
    std::vector<std::string> fields(1);
    bool inString = false;
    for (char c : statement) {
        if (c == '"')
            inString = !inString;
        if (c == ',' && !inString)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    for (std::string& field : fields)
        field = Trim(field);
    return fields;
}

bool HasStyle(const std::string& style, const std::string& name)
{
    return std::regex_search(style, std::regex("(^|[^\\w])" + name + "($|[^\\w])"));
}

bool HasNotStyle(const std::string& style, const std::string& name)
{
    return std::regex_search(style, std::regex("NOT\\s+" + name + "($|[^\\w])"));
}

DialogTemplate ReadTemplate(UINT templateId)
{
    std::istringstream rc(ReadSource("res/vantinst.rc"));
    std::regex header(R"(^(\w+)\s+DIALOG(EX)?\s.*$)");
    std::string line;
    std::smatch m;
    bool found = false;
    while (!found && std::getline(rc, line)) {
        line = Trim(WithoutComment(line));
        found = std::regex_match(line, m, header) && Names().count(m[1]) &&
                Resolve(m[1]) == static_cast<int>(templateId);
    }
    if (!found)
        Fail("no dialog template " + std::to_string(templateId));

    DialogTemplate result;
    std::vector<std::string> statements;
    bool inBody = false;
    while (std::getline(rc, line)) {
        line = Trim(WithoutComment(line));
        if (line.empty())
            continue;
        if (!inBody) {
            if (line.compare(0, 8, "CAPTION ") == 0)
                result.caption = Unquote(line.substr(8));
            else if (line == "BEGIN")
                inBody = true;
            continue;
        }
        if (line == "END")
            break;
        if (line.compare(0, 8, "CONTROL ") == 0)
            statements.push_back(line.substr(8));
        else if (!statements.empty())
            statements.back() += " " + line;
        else
            Fail("not a CONTROL statement in template " + std::to_string(templateId) + ": " + line);
    }

    for (const std::string& statement : statements) {
        std::vector<std::string> f = Fields(statement);
        if (f.size() != 8)
            Fail("a CONTROL statement without its eight fields: " + statement);
        TemplateControl control;
        control.text = f[0].front() == '"' ? Unquote(f[0]) : std::string();  // an icon control names its icon
        control.id = Resolve(f[1]);
        control.className = Unquote(f[2]);
        control.visible = HasStyle(f[3], "WS_VISIBLE") && !HasNotStyle(f[3], "WS_VISIBLE");
        control.enabled = !HasStyle(f[3], "WS_DISABLED") || HasNotStyle(f[3], "WS_DISABLED");
        result.controls.push_back(control);
    }
    return result;
}

}  // namespace

const DialogTemplate& Template(UINT templateId)
{
    static std::map<UINT, DialogTemplate> read;
    auto found = read.find(templateId);
    if (found == read.end())
        found = read.emplace(templateId, ReadTemplate(templateId)).first;
    return found->second;
}

}  // namespace sim

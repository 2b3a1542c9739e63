// Parsing the command syntax of the fronts.
#include "CommandLine.h"

namespace lha {

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((c == ' ' || c == '\t' || c == '\r' || c == '\n') && !quoted) {
            if (inArgument) arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) arguments.push_back(current);
    return arguments;
}

Status parseCommand(const std::vector<std::string>& arguments, Command& command,
                    std::string& error) {
    command = Command{};
    if (arguments.empty()) {
        error = "no command given";
        return Status::BadCommand;
    }
    const std::string& verb = arguments[0];
    const char letter = verb.size() == 1 ? static_cast<char>(verb[0] | 0x20) : '\0';
    switch (letter) {
    case 'x': command.job.action = Action::Extract; break;
    case 'e': command.job.action = Action::ExtractFlat; break;
    case 't': command.job.action = Action::Test; break;
    case 'l': command.job.action = Action::List; break;
    default: error = "unknown command '" + verb + "'"; return Status::BadCommand;
    }

    std::vector<std::string> paths;
    bool switches = true; // until the archive, or "--" before a name that begins with '-'
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (switches && paths.empty() && argument.size() > 1 && argument[0] == '-') {
            if (argument == "--") {
                switches = false;
                continue;
            }
            if (argument == "-+") continue;
            if (argument == "-q") {
                command.quiet = true;
                continue;
            }
            error = "unknown switch '" + argument + "'";
            return Status::BadCommand;
        }
        paths.push_back(argument);
    }
    const bool takesFolder =
        command.job.action == Action::Extract || command.job.action == Action::ExtractFlat;
    if (paths.empty() || paths[0].empty()) {
        error = "no archive given";
        return Status::BadCommand;
    }
    if (paths.size() > (takesFolder ? 2u : 1u)) {
        error = "too many arguments";
        return Status::BadCommand;
    }
    command.job.archive = paths[0];
    command.job.destination = paths.size() > 1 && !paths[1].empty() ? paths[1] : ".";
    return Status::Ok;
}

} // namespace lha

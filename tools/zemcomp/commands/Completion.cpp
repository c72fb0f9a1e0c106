#include "tools/zemcomp/commands/Completion.h"

#include "tools/zemcomp/commands/Command.h"
#include "tools/zemcomp/options/DialectOption.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>

namespace zemcomp {

namespace {

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

/// Every name an option answers to: "-o", "--output".
std::vector<std::string> namesOf(const CLI::Option& option) {
    std::vector<std::string> names;
    for (const std::string& name : option.get_snames())
        names.push_back("-" + name);
    for (const std::string& name : option.get_lnames())
        names.push_back("--" + name);
    return names;
}

} // namespace

std::string bashCompletion(const CLI::App& app,
                           const std::map<std::string, std::vector<std::string>>& values) {
    std::vector<std::string> commands;
    std::string optionsByCommand;
    std::string positionalWords;
    std::vector<std::string> valueOptions;
    std::map<std::string, std::string> wordsOfOption;

    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        const std::string& name = command->get_name();
        commands.push_back(name);
        std::vector<std::string> options;
        // A subcommand with subcommands of its own (looks apply|extract) completes
        // their names first, then the options of any of them.
        std::vector<const CLI::Option*> all = command->get_options();
        std::vector<std::string> actions;
        for (const CLI::App* action :
             command->get_subcommands([](const CLI::App*) { return true; })) {
            actions.push_back(action->get_name());
            const std::vector<const CLI::Option*> more = action->get_options();
            all.insert(all.end(), more.begin(), more.end());
        }
        if (!actions.empty())
            positionalWords += "        " + name + ") words=\"" + joined(actions) + "\" ;;\n";
        for (const CLI::Option* option : all) {
            if (!option->nonpositional()) {
                const auto found = values.find(option->get_name());
                if (found != values.end())
                    positionalWords +=
                        "        " + name + ") words=\"" + joined(found->second) + "\" ;;\n";
                continue;
            }
            const std::vector<std::string> names = namesOf(*option);
            for (const std::string& optionName : names)
                if (std::find(options.begin(), options.end(), optionName) == options.end())
                    options.push_back(optionName);
            if (option->get_expected_max() == 0)
                continue; // a flag
            for (const std::string& optionName : names) {
                // Subcommands share options; each is completed the same everywhere.
                if (std::find(valueOptions.begin(), valueOptions.end(), optionName) !=
                    valueOptions.end())
                    continue;
                valueOptions.push_back(optionName);
                for (const std::string& longName : option->get_lnames()) {
                    const auto found = values.find("--" + longName);
                    if (found != values.end())
                        wordsOfOption[optionName] = joined(found->second);
                }
            }
        }
        optionsByCommand += "        " + name + ") options=\"" + joined(options) + "\" ;;\n";
    }

    std::string wordCases;
    std::vector<std::string> fileOptions;
    std::vector<std::string> freeOptions;
    for (const std::string& option : valueOptions) {
        const auto words = wordsOfOption.find(option);
        if (words != wordsOfOption.end())
            wordCases += "        " + option + ") COMPREPLY=($(compgen -W \"" + words->second +
                         "\" -- \"$cur\")); return ;;\n";
        else if (option == "-o" || option == "--output")
            fileOptions.push_back(option);
        else
            freeOptions.push_back(option);
    }
    const auto alternatives = [](const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& name : names)
            text += (text.empty() ? "" : "|") + name;
        return text;
    };

    std::string script =
        "# bash completion for zemcomp. Made by `zemcomp completion bash`; source it, or\n"
        "# install it as /usr/share/bash-completion/completions/zemcomp.\n"
        "_zemcomp()\n"
        "{\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
        "    local command='' i\n"
        "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
        "        case ${COMP_WORDS[i]} in\n"
        "        " +
        alternatives(commands) +
        ") command=${COMP_WORDS[i]}; break ;;\n"
        "        esac\n"
        "    done\n"
        "    case $prev in\n" +
        wordCases;
    if (!fileOptions.empty())
        script += "        " + alternatives(fileOptions) +
                  ") compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\")); "
                  "return ;;\n";
    if (!freeOptions.empty())
        script += "        " + alternatives(freeOptions) + ") return ;;\n";
    script += "    esac\n"
              "    if [[ -z $command ]]; then\n"
              "        COMPREPLY=($(compgen -W \"" +
              joined(commands) +
              " --help --version\" -- \"$cur\"))\n"
              "        return\n"
              "    fi\n"
              "    local options='' words=''\n"
              "    case $command in\n" +
              optionsByCommand +
              "    esac\n"
              "    if [[ $cur == -* ]]; then\n"
              "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
              "        return\n"
              "    fi\n"
              "    case $command in\n" +
              positionalWords +
              "    esac\n"
              "    if [[ -n $words ]]; then\n"
              "        COMPREPLY=($(compgen -W \"$words\" -- \"$cur\"))\n"
              "    else\n"
              "        compopt -o filenames 2>/dev/null\n"
              "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
              "    fi\n"
              "}\n"
              "complete -F _zemcomp zemcomp\n";
    return script;
}

namespace {

class Completion : public Command {
public:
    CLI::App* add(CLI::App& app) override {
        CLI::App* completion = app.add_subcommand(
            "completion", "Print a completion script for the shell (bash): source it, or install "
                          "it as /usr/share/bash-completion/completions/zemcomp");
        completion->add_option("SHELL", m_shell, "The shell: bash")
            ->required()
            ->check(CLI::IsMember({"bash"}));
        return completion;
    }

    int run(const Invocation& invocation) override {
        std::cout << bashCompletion(invocation.app, {{"--from", dialectNames()},
                                                     {"--to", dialectNames()},
                                                     {"--form", {"cc", "ccc", "cdl"}},
                                                     {"--otio-version", otioVersionNames()},
                                                     {"--fcpxml-version", fcpxmlVersionNames()},
                                                     {"SHELL", {"bash"}}});
        return kSuccess;
    }

private:
    std::string m_shell;
};

} // namespace

std::unique_ptr<Command> completionCommand() {
    return std::make_unique<Completion>();
}

} // namespace zemcomp

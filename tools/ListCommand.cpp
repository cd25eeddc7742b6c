// patchferry-cli list: the program list of the window, as text.

#include <ostream>

#include "Commands.h"
#include "convert/ConversionReport.h"
#include "convert/ProgramConverter.h"
#include "library/NameMatch.h"
#include "library/OpenFiles.h"
#include "synth/RadiasBackupFile.h"

namespace patchferry::cli {

int RunList(const ParsedArgs& args, CliEnvironment& env) {
    if (args.positional.empty()) {
        env.err << "patchferry-cli list: no file given (see patchferry-cli list --help)\n";
        return kExitUsage;
    }
    std::optional<int> sortColumn;
    if (const auto sort = args.Value("--sort")) {
        sortColumn = ParseInt(*sort, 0, kListColumnCount - 1);
        if (!sortColumn) {
            env.err << "patchferry-cli list: --sort takes a column from 0 to 5, not '" << *sort
                    << "'\n";
            return kExitUsage;
        }
    }
    const std::string find = ToLowerAscii(args.Value("--find").value_or(""));

    ProgramLibrary library;
    int failures = 0;
    OpenSyxFiles(library, args.positional, [&](const OpenFailure& failure) {
        env.err << synth::OpenFailureText(failure) << "\n";
        ++failures;
    });
    if (sortColumn) {
        library.SortByColumn(*sortColumn);
    }
    for (int i = 0; i < library.Count(); ++i) {
        const auto& entry = library[static_cast<std::size_t>(i)];
        const std::string name = entry.Name();
        if (!find.empty() && !NameMatches(name, find)) {
            continue;
        }
        ProgramConverter converter(entry.Image());
        converter.Convert();
        env.out << entry.FileLabel() << '\t' << entry.BankLabel() << '\t' << entry.NumberLabel()
                << '\t' << name << '\t' << entry.CategoryLabel() << '\t'
                << VerdictText(converter.Report()) << '\n';
    }
    return failures == 0 ? kExitOk : kExitFailure;
}

}  // namespace patchferry::cli

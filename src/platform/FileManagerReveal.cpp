#include "platform/FileManagerReveal.h"

#include <glib.h>

#include <memory>
#include <variant>
#include <vector>

#include "platform/ChildProcess.h"
#include "platform/ExecutableSearch.h"

namespace quillo::platform {

namespace {

bool ranToSuccess(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    if (program.empty()) {
        return false;
    }
    const auto outcome = runChildToCompletion(program.string(), arguments);
    const auto* finished = std::get_if<ChildOutcome>(&outcome);
    return finished != nullptr && finished->status == 0;
}

std::optional<std::string> fileURI(const std::filesystem::path& item) {
    const std::unique_ptr<gchar, decltype(&g_free)> uri(
        g_filename_to_uri(item.c_str(), nullptr, nullptr), &g_free);
    return uri ? std::optional<std::string>(uri.get()) : std::nullopt;
}

}  // namespace

std::string variantStringList(std::string_view text) {
    std::string list = "['";
    for (const char character : text) {
        if (character == '\'' || character == '\\') {
            list.push_back('\\');
        }
        list.push_back(character);
    }
    return list + "']";
}

RevealOutcome showInFileManager(const std::filesystem::path& item,
                                const EnvironmentLookup& environment) {
    if (const auto uri = fileURI(item)) {
        const std::vector<std::string> call{"call",
                                            "--session",
                                            "--dest",
                                            "org.freedesktop.FileManager1",
                                            "--object-path",
                                            "/org/freedesktop/FileManager1",
                                            "--method",
                                            "org.freedesktop.FileManager1.ShowItems",
                                            variantStringList(*uri),
                                            "''"};
        if (ranToSuccess(findExecutable("gdbus", environment), call)) {
            return RevealOutcome::fileManagerSelected;
        }
    }
    return ranToSuccess(findExecutable("xdg-open", environment), {item.parent_path().string()})
               ? RevealOutcome::folderOpened
               : RevealOutcome::failed;
}

}  // namespace quillo::platform

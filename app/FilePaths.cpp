#include "app/FilePaths.h"

namespace app {

namespace {

std::size_t AfterLastDelimiter(std::string_view Path)
{
    const std::size_t Last = Path.find_last_of("\\:");
    return Last == std::string_view::npos ? 0 : Last + 1;
}

}  // namespace

std::string ExtractFilePath(std::string_view Path) { return std::string(Path.substr(0, AfterLastDelimiter(Path))); }

std::string ExtractFileName(std::string_view Path) { return std::string(Path.substr(AfterLastDelimiter(Path))); }

std::string ExtractFileExt(std::string_view Path)
{
    const std::size_t Dot = Path.find_last_of('.');
    if (Dot == std::string_view::npos || Dot < AfterLastDelimiter(Path))
        return {};
    return std::string(Path.substr(Dot));
}

}  // namespace app

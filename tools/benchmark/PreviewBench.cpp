// The preview's cost per font: each file given (every face of a
// collection) loaded and laid out as the window's preview does it, the
// slowest first. Prints one line per face and the slowest last.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/model/FontPreview.h"

int main(int Count, char** Arguments)
{
    struct TTime {
        double Milliseconds;
        std::string What;
    };
    std::vector<TTime> Times;
    for (int i = 1; i < Count; ++i) {
        std::uint32_t Faces = 1;
        // A collection names at most 256 faces to a scan; so here.
        for (std::uint32_t Face = 0; Face < Faces && Face < 256; ++Face) {
            const auto Start = std::chrono::steady_clock::now();
            const ui::TFontPreview Preview = ui::TFontPreview::Load(Arguments[i], Face, 0x0409);
            const ui::TPreviewPicture Picture = Preview.Render(4 * 24, {0, 0}, 4 * 600);
            const double Spent =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
            Faces = Preview.FaceCount;
            const char* State = Preview.State == ui::TPreviewState::Drawn ? "drawn"
                : Preview.State == ui::TPreviewState::Cff                 ? "cff"
                                                                          : "failed";
            Times.push_back({Spent, std::string(Arguments[i]) + " face " + std::to_string(Face) + " " + State + " " +
                                        std::to_string(Picture.Points.size()) + " points"});
        }
    }
    std::sort(Times.begin(), Times.end(), [](const TTime& A, const TTime& B) { return A.Milliseconds > B.Milliseconds; });
    for (const TTime& Time : Times)
        std::printf("%8.1f ms  %s\n", Time.Milliseconds, Time.What.c_str());
    return 0;
}

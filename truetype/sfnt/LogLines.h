// A font's diagnostic lines (directory dump, timings), in the order written.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace truetype {

// The lines stand one after the other in one text, so that the thousands of
// lines of a load cost no allocation each. A hostile directory repeats one
// record line tens of thousands of times for the records past the end of its
// file: a run of equal lines is kept once, with its length, and read back
// line by line.
class TLogLines {
    struct TRun {
        std::size_t Offset = 0;
        std::size_t Length = 0;
        std::size_t Times = 0;
    };

public:
    class TIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string_view*;
        using reference = std::string_view;

        TIterator() = default;
        TIterator(const TLogLines* Lines, std::size_t Run) : FLines(Lines), FRun(Run) {}
        std::string_view operator*() const { return FLines->Line(FLines->FRuns[FRun]); }
        TIterator& operator++()
        {
            if (++FTime == FLines->FRuns[FRun].Times) {
                ++FRun;
                FTime = 0;
            }
            return *this;
        }
        TIterator operator++(int)
        {
            TIterator Before = *this;
            ++*this;
            return Before;
        }
        bool operator==(const TIterator& Other) const { return FRun == Other.FRun && FTime == Other.FTime; }

    private:
        const TLogLines* FLines = nullptr;
        std::size_t FRun = 0;
        std::size_t FTime = 0;
    };

    void Add(std::string_view Line, std::size_t Times = 1)
    {
        if (Times == 0)
            return;
        if (!FRuns.empty() && Line == Back()) {
            FRuns.back().Times += Times;
        } else {
            FRuns.push_back({FText.size(), Line.size(), Times});
            FText += Line;
        }
        FCount += Times;
    }
    void Clear()
    {
        FRuns.clear();
        FText.clear();
        FCount = 0;
    }

    std::size_t Count() const { return FCount; }
    bool Empty() const { return FCount == 0; }
    std::string_view Back() const { return Line(FRuns.back()); }

    TIterator begin() const { return TIterator(this, 0); }
    TIterator end() const { return TIterator(this, FRuns.size()); }

private:
    std::string_view Line(const TRun& Run) const { return std::string_view(FText).substr(Run.Offset, Run.Length); }

    std::vector<TRun> FRuns;
    std::string FText;
    std::size_t FCount = 0;
};

}  // namespace truetype

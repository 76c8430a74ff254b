// A font's diagnostic lines (directory dump, timings), in the order written.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

namespace truetype {

// A hostile directory repeats one record line tens of thousands of times for
// the records past the end of its file: a run of equal lines is kept once,
// with its length, and read back line by line.
class TLogLines {
    struct TRun {
        std::string Line;
        std::size_t Times = 0;
    };

public:
    class TIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string*;
        using reference = const std::string&;

        TIterator() = default;
        TIterator(const std::vector<TRun>* Runs, std::size_t Run) : FRuns(Runs), FRun(Run) {}
        reference operator*() const { return (*FRuns)[FRun].Line; }
        pointer operator->() const { return &(*FRuns)[FRun].Line; }
        TIterator& operator++()
        {
            if (++FTime == (*FRuns)[FRun].Times) {
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
        const std::vector<TRun>* FRuns = nullptr;
        std::size_t FRun = 0;
        std::size_t FTime = 0;
    };

    void Add(std::string Line, std::size_t Times = 1)
    {
        if (Times == 0)
            return;
        if (!FRuns.empty() && FRuns.back().Line == Line)
            FRuns.back().Times += Times;
        else
            FRuns.push_back({std::move(Line), Times});
        FCount += Times;
    }
    void Clear()
    {
        FRuns.clear();
        FCount = 0;
    }

    std::size_t Count() const { return FCount; }
    bool Empty() const { return FCount == 0; }
    const std::string& Back() const { return FRuns.back().Line; }

    TIterator begin() const { return TIterator(&FRuns, 0); }
    TIterator end() const { return TIterator(&FRuns, FRuns.size()); }

private:
    std::vector<TRun> FRuns;
    std::size_t FCount = 0;
};

}  // namespace truetype

// SPDX-License-Identifier: MIT
// Lines from a stream read in chunks: LF or CR LF ends a line (or NUL alone, for NUL-terminated
// records), a last line without an ending counts, and a line keeps at most kMaxLineBytes units so
// that memory stays bounded.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>

#include "cli/streams.h"

namespace cli {

template <typename Unit>
class LineReader {
public:
    // read fills up to capacity units and returns how many, 0 at the end of the stream.
    using Read = std::function<std::size_t(Unit* buffer, std::size_t capacity)>;

    // beforeWait runs before each read, so that what was written reaches its reader first.
    LineReader(Read read, std::function<void()> beforeWait)
        : read_(std::move(read)), beforeWait_(std::move(beforeWait)) {}

    // Records end in NUL from now on, and a CR before the end is part of the record.
    void SetZeroTerminated() { endOfRecord_ = Unit(0); }

    bool Next(std::basic_string<Unit>& line, bool& tooLong) {
        line.clear();
        tooLong = false;
        bool any = false;
        for (;;) {
            if (next_ == end_) {
                if (atEnd_) return any;
                beforeWait_();
                end_ = read_(buffer_, kChunk);
                next_ = 0;
                atEnd_ = end_ == 0;
                continue;
            }
            any = true;
            const Unit* start = buffer_ + next_;
            const Unit* ending = std::char_traits<Unit>::find(start, end_ - next_, endOfRecord_);
            const std::size_t count =
                ending != nullptr ? static_cast<std::size_t>(ending - start) : end_ - next_;
            const std::size_t room = kMaxLineBytes - std::min(line.size(), kMaxLineBytes);
            line.append(start, std::min(count, room));
            tooLong = tooLong || count > room;
            next_ += count;
            if (next_ < end_) {
                ++next_;  // the LF or NUL
                if (endOfRecord_ == Unit('\n') && !line.empty() && line.back() == Unit('\r')) {
                    line.pop_back();
                }
                return true;
            }
        }
    }

private:
    static constexpr std::size_t kChunk = 64 * 1024 / sizeof(Unit);

    Read read_;
    std::function<void()> beforeWait_;
    Unit buffer_[kChunk];
    std::size_t next_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    Unit endOfRecord_ = Unit('\n');
};

}  // namespace cli

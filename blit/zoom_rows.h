// The transparent zoom's rows 64 pixels at a time with the AVX-512 byte
// permutes. Every row of a zoom blit samples the same source columns, so
// the columns are worked out once per blit as a plan, and each row is then
// two loads, a permute and a masked store per 64 pixels.
#pragma once

#include <cstdint>

struct ZoomPlan {
    static constexpr int MaxChunks = 16;  // rows of up to 1024 samples
    int chunks = 0;
    struct Chunk {
        int64_t first;         // the lowest source column the chunk reads
        uint64_t lanes;        // the chunk's samples (the last chunk may have fewer than 64)
        uint64_t lowBytes;     // the source bytes it reads from first: first 64 ...
        uint64_t highBytes;    // ... and the 64 after them
    } chunk[MaxChunks];
    alignas(64) unsigned char index[MaxChunks][64];  // sample k's column - first
};

// Plans n samples whose source columns column(k) come from the caller.
// False, with nothing planned, when a chunk of 64 samples would reach over
// more than 128 source bytes (steps of more than two pixels) or the row is
// longer than the plan holds.
template <class Column> bool planZoomRows(ZoomPlan& plan, int64_t n, Column column)
{
    if (n <= 0 || n > int64_t{ZoomPlan::MaxChunks} * 64)
        return false;
    plan.chunks = static_cast<int>((n + 63) / 64);
    for (int j = 0; j < plan.chunks; ++j) {
        const int64_t from = int64_t{j} * 64, count = n - from < 64 ? n - from : 64;
        int64_t lo = column(from), hi = lo;
        for (int64_t k = 1; k < count; ++k) {
            const int64_t c = column(from + k);
            lo = c < lo ? c : lo;
            hi = c > hi ? c : hi;
        }
        const int64_t span = hi - lo + 1;
        if (span > 128)
            return false;
        ZoomPlan::Chunk& ch = plan.chunk[j];
        ch.first = lo;
        ch.lanes = ~uint64_t{0} >> (64 - count);
        ch.lowBytes = span >= 64 ? ~uint64_t{0} : ~uint64_t{0} >> (64 - span);
        ch.highBytes = span > 64 ? ~uint64_t{0} >> (128 - span) : 0;
        for (int64_t k = 0; k < 64; ++k)
            plan.index[j][k] = k < count ? static_cast<unsigned char>(column(from + k) - lo) : 0;
    }
    return true;
}

// Draws one row: sample k of the plan is src[column(k)], stored at out[k]
// unless it is 0. Reads only the planned source bytes. Only for CPUs with
// AVX-512 BW and VBMI.
void zoomRowAvx512(unsigned char* out, const unsigned char* src, const ZoomPlan& plan);

// The integer walk of a polygon edge, one row at a time or many rows at once.
// The error term is exact (64-bit, 128-bit for a jump), so any edge between
// int32 end points gives the column nearest to it on every row, and the cost
// of reaching a row does not grow with the rows before it.
#pragma once

#include <cstdint>

class EdgeWalk {
public:
    // An edge of |dx| = ax columns over |dy| = ay rows (ay > 0). The flat
    // tracer steps x while the error is >= 0, the Gouraud tracer while it is
    // > 0 (strict), which sends exact halves the other way.
    EdgeWalk(int64_t ax, int64_t ay, bool strict)
        : twoAx_(2 * ax), twoAy_(2 * ay), error_(2 * ax - ay), whole_(twoAx_ / twoAy_), rest_(twoAx_ % twoAy_),
          strict_(strict)
    {
    }

    // Columns stepped at the end of the current row, moving to the next.
    // Between rows the error, less 2 ax, lies within one step of 0, so a
    // row steps 2 ax / 2 ay columns, or one more when the remainder carries
    // it past 0: the row needs no division of its own.
    int64_t next()
    {
        int64_t carried = error_ - twoAx_ + rest_;
        int64_t k = whole_;
        if (strict_ ? carried > 0 : carried >= 0) {
            ++k;
            carried -= twoAy_;
        }
        error_ = carried + twoAx_;
        return k;
    }

    // Columns stepped over the next n rows together (n >= 0). Row by row the
    // error always falls back below 0 (or to 0) before it grows by 2 ax, so
    // the steps of n rows are those the error of the last of them asks for.
    int64_t skip(int64_t n)
    {
        if (n <= 0)
            return 0;
        const __int128 error = static_cast<__int128>(error_) + static_cast<__int128>(n - 1) * twoAx_;
        const __int128 k = steps(error);
        error_ = static_cast<int64_t>(error - k * twoAy_ + twoAx_);
        return static_cast<int64_t>(k);
    }

    // The columns stepped by the end of row j ahead (j >= 1) are
    // floor((aheadBase() + (j - 1) x 2 ax) / 2 ay), the steps of skip(j)
    // written as one quotient; the base is 0 or more.
    int64_t aheadBase() const { return error_ + twoAy_ - (strict_ ? 1 : 0); }

private:
    template <class T> T steps(T error) const
    {
        if (strict_)
            return error > 0 ? (error - 1) / twoAy_ + 1 : 0;
        return error >= 0 ? error / twoAy_ + 1 : 0;
    }

    int64_t twoAx_, twoAy_;
    int64_t error_;
    int64_t whole_, rest_;  // 2 ax = whole x 2 ay + rest
    bool strict_;
};

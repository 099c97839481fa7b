#pragma once

#include <cstddef>
#include <stdexcept>
#include <streambuf>
#include <string>

// A stream buffer that hands out its bytes one at a time: it has no get area, so every peek and
// every read of an istream over it comes here, and it cannot put a character back. It counts
// those calls and throws ReadBudgetExceeded once a budget is spent, which turns a reader stuck
// in a loop into a test failure instead of a hang (give the istream the badbit exception mask so
// that the exception is passed on).
class TrickleStreamBuffer : public std::streambuf {
public:
    struct ReadBudgetExceeded : std::runtime_error {
        ReadBudgetExceeded() : std::runtime_error("read budget exceeded") {}
    };

    explicit TrickleStreamBuffer(std::string bytes, std::size_t budget = 1000000)
        : bytes(std::move(bytes)), budget(budget) {}

    /// Bytes handed out so far.
    std::size_t consumed() const { return position; }

protected:
    int_type underflow() override {
        charge();
        return position < bytes.size() ? traits_type::to_int_type(bytes[position])
                                       : traits_type::eof();
    }

    int_type uflow() override {
        charge();
        return position < bytes.size() ? traits_type::to_int_type(bytes[position++])
                                       : traits_type::eof();
    }

private:
    void charge() {
        if (++calls > budget) {
            throw ReadBudgetExceeded();
        }
    }

    std::string bytes;
    std::size_t budget;
    std::size_t calls = 0;
    std::size_t position = 0;
};

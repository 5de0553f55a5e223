#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

namespace tavrin {

// Why an operation failed, in words fit to show the player or to put on a debug line.
struct Failure
{
    QString reason;
};

// The outcome of an operation that can fail (saving a file, reading one, fetching the feed):
// either its value or a Failure, never both. Test it with `if (result)` or succeeded(); value()
// is only there on success and reason() only on failure.
//
//     Result<QByteArray> read(...) { ...; if (bad) return Failure {reason}; return bytes; }
template<typename T = void>
class [[nodiscard]] Result
{
public:
    Result(T value) : outcome_(std::in_place_index<0>, std::move(value)) { }
    Result(Failure failure) : outcome_(std::in_place_index<1>, std::move(failure)) { }

    bool succeeded() const { return outcome_.index() == 0; }
    explicit operator bool() const { return succeeded(); }

    const T &value() const & { return std::get<0>(outcome_); }
    T &&value() && { return std::get<0>(std::move(outcome_)); }
    const QString &reason() const { return std::get<1>(outcome_).reason; }

private:
    std::variant<T, Failure> outcome_;
};

// An operation that gives nothing but can fail: a default-constructed Result is a success.
template<>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) { }

    bool succeeded() const { return !failure_; }
    explicit operator bool() const { return succeeded(); }

    const QString &reason() const { return failure_->reason; }

private:
    std::optional<Failure> failure_;
};

} // namespace tavrin

#include "ui/RelativeDateText.h"

#include <unicode/reldatefmt.h>

#include <cstdint>
#include <memory>

namespace tarnwick::ui {

namespace {

// The interface is English throughout, so its dates are too, whatever the process locale says.
const icu::RelativeDateTimeFormatter *formatter()
{
    static const std::unique_ptr<icu::RelativeDateTimeFormatter> shared = [] {
        UErrorCode status = U_ZERO_ERROR;
        auto made = std::make_unique<icu::RelativeDateTimeFormatter>(icu::Locale("en"), nullptr, UDAT_STYLE_LONG,
                                                                     UDISPCTX_CAPITALIZATION_NONE, status);
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return shared.get();
}

struct Offset {
    int64_t amount;
    URelativeDateTimeUnit unit;
};

// Whole units, truncated towards zero, so 47 hours ago is still "yesterday" and not "2 days ago".
Offset largestUnit(int64_t seconds)
{
    constexpr int64_t minute = 60, hour = 60 * minute, day = 24 * hour, week = 7 * day, month = 30 * day,
                      year = 365 * day;
    const int64_t magnitude = seconds < 0 ? -seconds : seconds;
    const int64_t sign = seconds < 0 ? -1 : 1;
    if (magnitude < minute) {
        return {seconds, UDAT_REL_UNIT_SECOND};
    }
    if (magnitude < hour) {
        return {sign * (magnitude / minute), UDAT_REL_UNIT_MINUTE};
    }
    if (magnitude < day) {
        return {sign * (magnitude / hour), UDAT_REL_UNIT_HOUR};
    }
    if (magnitude < week) {
        return {sign * (magnitude / day), UDAT_REL_UNIT_DAY};
    }
    if (magnitude < month) {
        return {sign * (magnitude / week), UDAT_REL_UNIT_WEEK};
    }
    if (magnitude < year) {
        // Twelve 30-day months fall short of a year; the last few days still read as months.
        const int64_t months = magnitude / month;
        return {sign * (months > 11 ? 11 : months), UDAT_REL_UNIT_MONTH};
    }
    return {sign * (magnitude / year), UDAT_REL_UNIT_YEAR};
}

}  // namespace

QString relativeDateText(Timestamp date, Timestamp now)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(date - now).count();
    const Offset offset = largestUnit(seconds);
    icu::UnicodeString text;
    UErrorCode status = U_ZERO_ERROR;
    if (const auto *format = formatter()) {
        format->format(static_cast<double>(offset.amount), offset.unit, text, status);
    }
    if (!formatter() || U_FAILURE(status)) {
        return QString::number(seconds) + QStringLiteral(" s");
    }
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

}  // namespace tarnwick::ui

// What the program takes from the Ruffle page's answer: the state as the page gives it, and
// nothing a script that got into the page could make up instead.
#include "platform/ruffle/PageReply.h"

#include <QVariantMap>

#include <gtest/gtest.h>

#include <limits>

namespace luming {
namespace {

QVariantMap State() {
    return {{"load", 3},   {"ready", 4},         {"frame", 12},     {"playing", true},
            {"error", ""}, {"received", 4096.0}, {"waiting", false}};
}

TEST(PageReply, TakesTheStateAsThePageGivesItAndNothingElse) {
    const auto taken = ReadPageReply(State(), 72);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->load, 3);
    EXPECT_EQ(taken->ready, 4);
    EXPECT_EQ(taken->frame, 12);
    EXPECT_TRUE(taken->playing);
    EXPECT_EQ(taken->received, 4096.0);

    // A frame past the movie's end is its end.
    QVariantMap past = State();
    past["frame"] = 500;
    EXPECT_EQ(ReadPageReply(past, 72)->frame, 72);

    // A 100 kB error is cut short, and only printable characters are kept.
    QVariantMap loud = State();
    loud["error"] = QString("bad\n\x1b[2J") + QString(100000, 'x');
    const auto cut = ReadPageReply(loud, 72);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->error.size(), kLongestPageError);
    EXPECT_EQ(cut->error.substr(0, 8), "bad[2Jxx");

    const std::pair<const char*, QVariant> made_up[] = {
        {"load", "3"},
        {"load", 2.5},
        {"load", -1},
        {"ready", 3},
        {"frame", -4},
        {"frame", std::numeric_limits<double>::infinity()},
        {"playing", "true"},
        {"received", -1.0},
        {"received", std::numeric_limits<double>::quiet_NaN()},
        {"waiting", 1},
        {"error", QVariantList{"x"}},
    };
    for (const auto& [field, value] : made_up) {
        QVariantMap reply = State();
        reply[field] = value;
        EXPECT_FALSE(ReadPageReply(reply, 72)) << field << " = " << value.toString().toStdString();
    }
    QVariantMap missing = State();
    missing.remove("load");
    EXPECT_FALSE(ReadPageReply(missing, 72));
    EXPECT_FALSE(ReadPageReply(QVariant("state"), 72));
    EXPECT_FALSE(ReadPageReply(QVariant(), 72));
}

} // namespace
} // namespace luming

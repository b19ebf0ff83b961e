#include "platform/SingleInstanceGuard.h"
#include "support/TempDir.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using luming::SingleInstanceGuard;
using luming::test::TempDir;
using luming::test::WriteFile;

TEST(SingleInstanceGuard, TheSecondCopyOfAnEditionAsksTheFirstToShow) {
    TempDir temp;
    const QString directory = QString::fromStdString(temp.path().string());
    SingleInstanceGuard first("poetry", directory);
    ASSERT_TRUE(first.TryBecomeFirst());
    QSignalSpy shown(&first, &SingleInstanceGuard::showRequested);

    SingleInstanceGuard second("poetry", directory);
    EXPECT_FALSE(second.TryBecomeFirst());
    // The request is answered by the first copy's event loop, so send it from a worker thread.
    bool asked = false;
    std::thread asker([&] { asked = second.AskRunningCopyToShow(); });
    EXPECT_TRUE(shown.wait(5000));
    asker.join();
    EXPECT_TRUE(asked);
    EXPECT_EQ(shown.count(), 1);
}

TEST(SingleInstanceGuard, EditionsWithOtherKeysRunSideBySide) {
    TempDir temp;
    const QString directory = QString::fromStdString(temp.path().string());
    SingleInstanceGuard poetry("poetry", directory);
    SingleInstanceGuard story("story", directory);
    EXPECT_TRUE(poetry.TryBecomeFirst());
    EXPECT_TRUE(story.TryBecomeFirst());
}

TEST(SingleInstanceGuard, LeftoversOfACrashedCopyDoNotBlock) {
    TempDir temp;
    const QString directory = QString::fromStdString(temp.path().string());
    {
        SingleInstanceGuard crashed("poetry", directory);
        ASSERT_TRUE(crashed.TryBecomeFirst());
    }
    // The lock file stays behind; a stale socket file too.
    for (const auto& entry : std::filesystem::directory_iterator(temp.path()))
        if (entry.path().extension() == ".sock")
            std::filesystem::remove(entry.path());
    WriteFile(temp.path() / ("luming-poetry-" + std::to_string(::getuid()) + ".sock"), "junk");

    SingleInstanceGuard next("poetry", directory);
    ASSERT_TRUE(next.TryBecomeFirst());
    QSignalSpy shown(&next, &SingleInstanceGuard::showRequested);
    SingleInstanceGuard later("poetry", directory);
    EXPECT_FALSE(later.TryBecomeFirst());
    std::thread asker([&] { later.AskRunningCopyToShow(); });
    EXPECT_TRUE(shown.wait(5000)) << "the new copy answers on a fresh socket";
    asker.join();
}

TEST(SingleInstanceGuard, NoRunningCopyToAsk) {
    TempDir temp;
    SingleInstanceGuard lonely("poetry", QString::fromStdString(temp.path().string()));
    EXPECT_FALSE(lonely.AskRunningCopyToShow());
}

TEST(SingleInstanceGuard, ALockThatCannotBeMadeCountsAsNoOtherCopy) {
    TempDir temp;
    // A lock directory that does not exist (a read-only or full disk gives the same failure).
    SingleInstanceGuard guard("poetry", QString::fromStdString((temp.path() / "gone").string()));
    EXPECT_TRUE(guard.TryBecomeFirst());
}

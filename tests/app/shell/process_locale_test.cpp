#include <QCoreApplication>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

#include "app/shell/app_settings.h"

namespace tracemill {
namespace {

// Under TRACEMILL_TEST_LOCALE (the run with a comma-decimal locale) the process locale is the
// environment's once Qt has started, so the C library reads and writes numbers with ','
// while the program's own number text must not change.
TEST(ProcessLocale, IsTheEnvironmentsOnceQtHasStarted) {
    const char* wanted = std::getenv("TRACEMILL_TEST_LOCALE");
    if (!wanted) GTEST_SKIP() << "only in the run under TRACEMILL_TEST_LOCALE";
    ASSERT_NE(QCoreApplication::instance(), nullptr);
    EXPECT_STREQ(std::localeconv()->decimal_point, ",")
        << "locale " << wanted << " is not installed (Debian package locales-all)";
    EXPECT_EQ(DetectDecimalSeparator(), ',');
}

} // namespace
} // namespace tracemill

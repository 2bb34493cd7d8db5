// Run by the tests as a child process: holds a connection to the database named by
// SROKO_HOLD_DB until its standard input closes.
#include "fb/attachment.h"
#include "store/database_creator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

TEST(HoldDatabase, DISABLED_Child) {
    const char* path = std::getenv("SROKO_HOLD_DB");
    ASSERT_NE(path, nullptr);
    fb::Attachment attachment;
    attachment.attach(QString::fromLocal8Bit(path), database_creator::connectionParams());
    std::printf("attached\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
}

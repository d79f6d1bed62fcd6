// Opening a screenshot for reading: refused with a reason when it cannot be
// read, and kept open afterwards for the retire step.
#include "core/SourceFile.h"
#include "TempDir.h"
#include "TestUtil.h"
#include "core/ReadError.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace fwtest;

TEST(SourceFile, WhatCannotBeReadIsRefusedWithItsReason)
{
    const TempDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.bmp"));
    for (const auto& [name, reason] : {std::pair{"gone.bmp", "file not found"}, {"folder.bmp", "cannot read file"}}) {
        try {
            SourceFile{dir.file(name)};
            ADD_FAILURE() << name << " opened";
        } catch (const ReadError& error) {
            EXPECT_TRUE(QString::fromStdString(error.reason()).startsWith(reason)) << name << ": " << error.reason();
        }
    }
}

// The descriptor handed on still reads the file that was opened, after its
// name went to another file.
TEST(SourceFile, TheReleasedDescriptorIsTheFileThatWasRead)
{
    const TempDir dir;
    writeAll(dir.file("shot.bmp"), "the picture");
    SourceFile source(dir.file("shot.bmp"));
    EXPECT_EQ(source.file().readAll(), "the picture");
    EXPECT_NO_THROW(source.checkUnchanged());
    const std::shared_ptr<NativeFile::Descriptor> held = source.release();
    ASSERT_TRUE(held && *held);
    EXPECT_TRUE(NativeFile::identityOf(held->get()).isSameFile(source.identity()));
    EXPECT_FALSE(source.file().isOpen());
}

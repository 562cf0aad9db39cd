// The gallery catalogue: which entries of the folder become pictures, in what
// order, how large the grid gets, and finding the stored picture again.
#include "gallery/ImageTypeControl.h"
#include "platform/image/PngImage.h"
#include "TestPng.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct CatalogueFolder {
    QTemporaryDir dir;
    QString Add(const QString& name)
    {
        const QString path = dir.path() + QLatin1Char('/') + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return path;
    }
};

} // namespace

TEST(Catalogue, GridSizeFollowsThePictureCount)
{
    struct Case {
        int n, cols, rows;
        RECT rc;
    };
    for (const Case& c : {Case{1, 1, 1, {0, 0, 64, 74}}, Case{4, 2, 2, {0, 0, 112, 122}},
             Case{5, 3, 2, {0, 0, 160, 122}}, Case{7, 3, 3, {0, 0, 160, 170}}, Case{10, 4, 3, {0, 0, 208, 170}}}) {
        CatalogueFolder folder;
        for (int i = 0; i < c.n; ++i)
            folder.Add(QStringLiteral("p%1.png").arg(i));
        CImageTypeControl grid;
        grid.bInit(48, 48, folder.dir.path(), TRUE);
        EXPECT_EQ(grid.nCount, c.n);
        EXPECT_EQ(grid.nCols, c.cols) << c.n;
        EXPECT_EQ(grid.nRows, c.rows) << c.n;
        EXPECT_EQ(grid.rcControl, c.rc) << c.n;
    }
}

TEST(Catalogue, EmptyOrMissingFolderKeepsTheEmptyGrid)
{
    CatalogueFolder empty;
    for (const QString& folder : {empty.dir.path(), empty.dir.path() + QStringLiteral("/missing")}) {
        CImageTypeControl grid;
        grid.bInit(48, 48, folder, TRUE);
        EXPECT_EQ(grid.nCount, 0);
        EXPECT_EQ(grid.nCols, 3);
        EXPECT_EQ(grid.nRows, 3);
        EXPECT_TRUE(IsRectEmpty(&grid.rcControl));
        EXPECT_EQ(grid.GetSelectedPath(), QString());
        EXPECT_FALSE(grid.bSelectPathOrFirst(QStringLiteral("/any.png")));
    }
}

TEST(Catalogue, TakesPngInAnyCaseAndFoldersInFileNameOrder)
{
    CatalogueFolder folder;
    const QString upper = folder.Add(QStringLiteral("ARROW.PNG"));
    const QString lower = folder.Add(QStringLiteral("beam.png"));
    const QString hidden = folder.Add(QStringLiteral(".png"));
    folder.Add(QStringLiteral("ring.png.bak"));
    folder.Add(QStringLiteral("spot.jpg"));
    folder.Add(QStringLiteral("noext"));
    ASSERT_TRUE(QDir(folder.dir.path()).mkdir(QStringLiteral("Cursor.png")));

    CImageTypeControl grid;
    grid.bInit(48, 48, folder.dir.path(), TRUE);
    ASSERT_EQ(grid.nCount, 4);
    EXPECT_EQ(grid.mapImagePath[0], hidden);
    EXPECT_EQ(grid.mapImagePath[1], upper);
    EXPECT_EQ(grid.mapImagePath[2], lower);
    EXPECT_EQ(grid.mapImagePath[3], folder.dir.path() + QStringLiteral("/Cursor.png"));
    EXPECT_EQ(grid.vecCells.size(), 4u);
}

TEST(Catalogue, SelectPathOrFirst)
{
    CatalogueFolder folder;
    const QString a = folder.Add(QStringLiteral("a.png"));
    const QString b = folder.Add(QStringLiteral("b.png"));
    CImageTypeControl grid;
    grid.bInit(48, 48, folder.dir.path(), TRUE);
    grid.vAttach(nullptr, 0, TRUE);

    // The stored path in another letter case is still that picture.
    EXPECT_FALSE(grid.bSelectPathOrFirst(b.toUpper()));
    EXPECT_EQ(grid.GetSelectedPath(), b);
    // A deleted picture, or the empty path of a first run, falls back to the first.
    ASSERT_TRUE(QFile::remove(b));
    EXPECT_TRUE(grid.bSelectPathOrFirst(folder.dir.path() + QStringLiteral("/gone.png")));
    EXPECT_EQ(grid.GetSelectedPath(), a);
    EXPECT_TRUE(grid.bSelectPathOrFirst(QString()));
    EXPECT_EQ(grid.GetSelectedPath(), a);
}

TEST(Catalogue, TheUserFolderFollowsTheShippedOneAndARescanSeesChanges)
{
    CatalogueFolder shipped, user;
    shipped.Add(QStringLiteral("b.png"));
    shipped.Add(QStringLiteral("A.png"));
    const QString mine = user.Add(QStringLiteral("a-mine.png"));
    user.Add(QStringLiteral("notes.txt"));
    CImageTypeControl grid;
    grid.bInit(48, 48, QStringList{shipped.dir.path(), user.dir.path(), QStringLiteral("/nonexistent")}, TRUE);
    grid.vAttach(nullptr, 0, TRUE);
    ASSERT_EQ(grid.nCount, 3);
    EXPECT_TRUE(grid.mapImagePath[0].endsWith("/A.png"));
    EXPECT_TRUE(grid.mapImagePath[1].endsWith("/b.png"));
    EXPECT_EQ(grid.mapImagePath[2], mine) << "the user's pictures come after the shipped ones, whatever their names";

    // A picture added: the grid grows and the selection stays on its picture.
    EXPECT_FALSE(grid.bSelectPathOrFirst(mine));
    user.Add(QStringLiteral("z.png"));
    EXPECT_FALSE(grid.bRescan()) << "four pictures still fit the popup's 2 x 2";
    EXPECT_EQ(grid.nCount, 4);
    EXPECT_EQ(grid.GetSelectedPath(), mine);
    user.Add(QStringLiteral("zz.png"));
    EXPECT_TRUE(grid.bRescan());
    EXPECT_EQ(grid.nCols, 3);
    // The selected picture removed: the first one is selected instead.
    ASSERT_TRUE(QFile::remove(mine));
    grid.bRescan();
    EXPECT_EQ(grid.nCount, 4);
    EXPECT_EQ(grid.nSelected, 0);
}

// What a first run shows is the first shipped picture: it must be a large
// arrow. No shipped picture may reach its border: a cut shape or a faded
// glow that stops at a square edge shows on the screen.
TEST(Catalogue, ShippedPicturesStartWithALargeArrowAndStayInsideTheirBorder)
{
    CImageTypeControl grid;
    grid.bInit(48, 48, QStringLiteral(LUMICUE_SOURCE_DIR "/pointer"), TRUE);
    ASSERT_GT(grid.nCount, 0);
    EXPECT_TRUE(QFileInfo(grid.mapImagePath[0]).fileName().startsWith(QStringLiteral("arrow-")));
    for (const auto& [i, path] : grid.mapImagePath) {
        CBitmap32 bmp;
        ASSERT_EQ(CPngImage::Decode(path, 0, 0, bmp), PngResult::Ok) << path.toStdString();
        EXPECT_LE(std::max(bmp.Width(), bmp.Height()), 256) << path.toStdString();
        if (i == 0) {
            EXPECT_GE(std::min(bmp.Width(), bmp.Height()), 112) << path.toStdString();
        }
        const int w = bmp.Width(), h = bmp.Height();
        int nVisibleOnBorder = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((x == 0 || y == 0 || x == w - 1 || y == h - 1) && CBitmap32::Alpha(bmp.Pixel(x, y)))
                    ++nVisibleOnBorder;
        EXPECT_EQ(nVisibleOnBorder, 0) << path.toStdString();
    }
}

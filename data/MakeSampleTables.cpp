// Builds the sample master-data tables: each SQL file given becomes a database file of the same
// base name in the output folder. The SQL may call logo(n) for one of the sample logos, drawn
// here as a 24-bit Windows bitmap.
#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

constexpr int kWidth = 233;
constexpr int kHeight = 97;

struct Rgb {
    uint8_t r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t)
{
    auto m = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// Logo 1: a blue disc with a white wave over a pale band; logo 2: green facets of a crystal.
Rgb Pixel(int style, int x, int y)
{
    const Rgb white{255, 255, 255};
    if (style == 1) {
        const double dx = x - 48.5, dy = y - 48.5;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r <= 40) {
            const double wave = 48 + 12 * std::sin((x - 8) / 80.0 * 2 * 3.14159265358979);
            if (std::fabs(y - wave) < 5)
                return white;
            return Mix({20, 70, 160}, {70, 140, 220}, r / 40.0);
        }
        if (x > 100 && x < 225 && ((y > 30 && y < 42) || (y > 55 && y < 63)))
            return Mix({20, 70, 160}, {200, 215, 240}, (x - 100) / 125.0);
        return white;
    }
    // Facets: a diamond split into four shades.
    const int cx = 50, cy = 48;
    const int ax = std::abs(x - cx), ay = std::abs(y - cy);
    if (ax * 44 + ay * 40 <= 40 * 44) {
        const bool left = x < cx, top = y < cy;
        if (top && left)
            return {40, 150, 90};
        if (top)
            return {90, 190, 130};
        if (left)
            return {20, 110, 60};
        return {60, 160, 100};
    }
    if (x > 105 && x < 225 && y > 38 && y < 58 && ((x - 105) / 12) % 2 == 0)
        return Mix({20, 110, 60}, {170, 220, 190}, (x - 105) / 120.0);
    return white;
}

std::string Bitmap(int style)
{
    const int rowSize = (kWidth * 3 + 3) / 4 * 4;
    const uint32_t imageSize = uint32_t(rowSize * kHeight);
    const uint32_t fileSize = 54 + imageSize;
    std::string bmp(fileSize, '\0');
    auto put16 = [&bmp](size_t at, uint16_t v) {
        bmp[at] = char(v & 0xFF);
        bmp[at + 1] = char(v >> 8);
    };
    auto put32 = [&bmp](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, fileSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, kWidth);
    put32(22, kHeight);
    put16(26, 1);
    put16(28, 24);
    put32(34, imageSize);
    put32(38, 3780); // 96 dots per inch
    put32(42, 3780);
    for (int row = 0; row < kHeight; ++row) {
        const int y = kHeight - 1 - row; // bottom-up
        size_t at = 54 + size_t(row) * size_t(rowSize);
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = Pixel(style, x, y);
            bmp[at++] = char(c.b);
            bmp[at++] = char(c.g);
            bmp[at++] = char(c.r);
        }
    }
    return bmp;
}

void LogoFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    const std::string bmp = Bitmap(sqlite3_value_int(argv[0]) == 2 ? 2 : 1);
    sqlite3_result_blob(context, bmp.data(), int(bmp.size()), SQLITE_TRANSIENT);
}

bool Build(const std::string &sqlFile, const std::string &folder)
{
    std::ifstream in(sqlFile, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", sqlFile.c_str());
        return false;
    }
    std::stringstream sql;
    sql << in.rdbuf();

    std::string base = sqlFile.substr(sqlFile.find_last_of("/\\") + 1);
    base = base.substr(0, base.rfind('.'));
    const std::string target = folder + "/" + base + ".db";
    std::remove(target.c_str());

    sqlite3 *db = nullptr;
    if (sqlite3_open(target.c_str(), &db) != SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s\n", target.c_str());
        sqlite3_close(db);
        return false;
    }
    sqlite3_create_function(db, "logo", 1, SQLITE_UTF8, nullptr, LogoFunction, nullptr, nullptr);
    char *error = nullptr;
    const std::string script = "BEGIN;\n" + sql.str() + "\nCOMMIT;";
    const bool ok = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
    if (!ok)
        std::fprintf(stderr, "%s: %s\n", sqlFile.c_str(), error ? error : "error");
    sqlite3_free(error);
    sqlite3_close(db);
    if (!ok)
        std::remove(target.c_str());
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output folder> <table.sql>...\n", argv[0]);
        return 2;
    }
    for (int i = 2; i < argc; ++i)
        if (!Build(argv[i], argv[1]))
            return 1;
    return 0;
}

#include <gtest/gtest.h>

#include "export/csv_columns.h"
#include "replay/value_text.h"

using namespace krelby;

TEST(ValueText, FixedTextExamples) {
    struct Case { double x; int P, D; const char* text; };
    const Case cases[] = {
        {123.45, 7, 1, "123.5"},       {1013.2, 7, 5, "1013.20000"},
        {29.9197857, 7, 5, "29.91979"}, {0.125, 7, 2, "0.13"},
        {-0.004, 7, 2, "0.00"},        {5.37, 1, 3, "5.400"},
        {12.5, 1, 3, "13.000"},        {123.4, 1, 3, "1.2E2"},
        {151.23456789, 9, 7, "151.2345680"}, {-27.5, 9, 7, "-27.5000000"},
        {0.005, 7, 2, "0.01"},         {9.99, 2, 1, "10.0"},
        {0, 7, 1, "0.0"},              {-5, 7, 1, "-5.0"},
        {5.3, 1, 3, "5.300"},          {151.0, 7, 2, "151.00"},
        {36.259425, 7, 1, "36.3"},     {3.30215125, 7, 2, "3.30"},
        {0.25, 7, 4, "0.2500"},        {-150.0, 7, 2, "-150.00"},
        {99999999.0, 7, 1, "1E8"},     {12345678.0, 7, 0, "1.234568E7"},
        {1.5, 7, 0, "2"},              {-0.5, 7, 0, "-1"},
    };
    for (const auto& c : cases) EXPECT_EQ(FixedText(c.x, c.P, c.D, '.'), c.text) << c.x;
    EXPECT_EQ(FixedText(1013.2, 7, 1, ','), "1013,2");
}

// A value printed short stops on a 5 that the 18-digit expansion does not have: the
// rounding must follow the expansion (1.005 is 1.00499999999999989... as a double).
TEST(ValueText, FixedTextRoundsTheEighteenDigitExpansionNotTheShortForm) {
    struct Case { double x; int P, D; const char* text; };
    const Case cases[] = {
        {1.005, 7, 2, "1.00"},   {2.675, 7, 2, "2.67"},  {1.115, 7, 2, "1.11"},
        {-1.005, 7, 2, "-1.00"}, {0.125, 7, 2, "0.13"},  {1.0050000000000001, 7, 2, "1.01"},
        {8.345, 7, 2, "8.35"},   {0.5, 1, 0, "1"},       {123456.75, 7, 1, "123456.8"},
    };
    for (const auto& c : cases) EXPECT_EQ(FixedText(c.x, c.P, c.D, '.'), c.text) << c.x;
}

TEST(ValueText, GeneralTextExamples) {
    EXPECT_EQ(GeneralText(150.0L), "150");
    EXPECT_EQ(GeneralText(-27.0L), "-27");
    EXPECT_EQ(GeneralText(1000 / 3.28083L), "304.800919279573");
    EXPECT_EQ(GeneralText(1 / 180000.0), "5.55555555555556E-6");
    EXPECT_EQ(GeneralText(18 / 180000.0), "0.0001");
    EXPECT_EQ(GeneralText(9 / 180000.0), "5E-5");
    EXPECT_EQ(GeneralText(0.0L), "0");
    EXPECT_EQ(GeneralText(1e16L), "1E16");
    EXPECT_EQ(GeneralText(0.5L), "0.5");
    EXPECT_EQ(GeneralText(-0.0123L), "-0.0123");
}

TEST(ValueText, IntegerAndCsvValues) {
    EXPECT_EQ(IntegerText(0), "0");
    EXPECT_EQ(IntegerText(-300), "-300");
    CsvValue pos;
    pos.form = CsvValue::Form::Position;
    pos.real = -4860000 / 180000.0;
    pos.real2 = 27000000 / 180000.0;
    std::string s;
    AppendCsvValueText(s, pos, '.');
    EXPECT_EQ(s, "-27.0000000,150.0000000");
    s.clear();
    AppendCsvValueText(s, pos, ',');
    EXPECT_EQ(s, "\"-27,0000000\",\"150,0000000\"");
    CsvValue i;
    i.form = CsvValue::Form::Integer;
    i.integer = 4500;
    s.clear();
    AppendCsvValueText(s, i, ',');
    EXPECT_EQ(s, "4500");
}

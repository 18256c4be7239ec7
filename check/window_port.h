// The component operations through which the checking logic reaches a window.
// The desktop window, the command-line front end and the tests implement them.
// Components are addressed by their names (UTF-8), as listed below.
#pragma once

#include <cstdint>
#include <string_view>

#include "services/conversions.h"
#include "services/text_types.h"

namespace oc {

namespace component {
inline constexpr std::string_view kArticleBox = "编辑框_待检测原创度内容";
inline constexpr std::string_view kCheckButton = "按钮_检测";
inline constexpr std::string_view kCharCountLabel = "标签_文章字数";
inline constexpr std::string_view kBaiduValueLabel = "标签_原创值";
inline constexpr std::string_view k360ValueLabel = "标签_原创值360";
inline constexpr std::string_view k360VerdictLabel = "标签_评语360";
inline constexpr std::string_view kBaiduCheckBox = "选择框_查百度";
inline constexpr std::string_view k360CheckBox = "选择框_查360";
inline constexpr std::string_view kBaiduGrid = "高级表格_原创度";
inline constexpr std::string_view k360Grid = "高级表格_原创度360";
// Beside each value: "已核实 a/b" (red while a < b), "已取消 a/b".
inline constexpr std::string_view kBaiduCoverageLabel = "标签_核实百度";
inline constexpr std::string_view k360CoverageLabel = "标签_核实360";
// Queries the unverified rows of the last run again; usable only after a run
// that left some.
// The local-documents engine ("本地文档"): its check box, grid, value,
// coverage and verdict, named like those of the web engines.
inline constexpr std::string_view kLocalCheckBox = "选择框_查本地文档";
inline constexpr std::string_view kLocalGrid = "高级表格_原创度本地";
inline constexpr std::string_view kLocalValueLabel = "标签_原创值本地";
inline constexpr std::string_view kLocalCoverageLabel = "标签_核实本地";
inline constexpr std::string_view kLocalVerdictLabel = "标签_评语本地";
inline constexpr std::string_view kRecheckButton = "按钮_重查未核实";
// Stops the passes of the running check; usable only while one runs.
inline constexpr std::string_view kStopButton = "按钮_停止检测";
}  // namespace component

// Windows COLORREF values (0x00BBGGRR).
inline constexpr std::uint32_t kColourBlue = 0xFF0000;
inline constexpr std::uint32_t kColourPurple = 0x800080;
inline constexpr std::uint32_t kColourRed = 0x0000FF;
inline constexpr std::uint32_t kColourGrey = 0x808080;
inline constexpr std::uint32_t kDefaultLabelColour = 0xFFFFFFFF;
// Row backgrounds: a copied segment light red, an unverified one grey;
// kNoBackground gives the row back the grid's own.
inline constexpr std::uint32_t kColourHitRow = 0xE0E0FF;
inline constexpr std::uint32_t kColourUnverifiedRow = 0xE0E0E0;
inline constexpr std::uint32_t kNoBackground = 0xFFFFFFFF;

// Every call takes effect before it returns, and the calls of one thread take
// effect in the order they are made, whichever thread makes them.
class WindowPort {
  public:
    virtual ~WindowPort() = default;

    virtual Text editContent(std::string_view editBox) = 0;
    virtual void setLabelCaption(std::string_view label, const Text& caption) = 0;
    virtual void setButtonDisabled(std::string_view button, bool disabled) = 0;
    virtual bool isTicked(std::string_view checkBox) = 0;

    // Rows include the heading row 0.
    virtual int gridRowCount(std::string_view grid) = 0;
    virtual bool gridDeleteRow(std::string_view grid, int row) = 0;
    virtual bool gridAppendRow(std::string_view grid, const Text& title, int position) = 0;
    virtual bool gridSetCell(std::string_view grid, int row, int column, const Text& value) = 0;
    virtual bool gridSetTextColour(std::string_view grid, int row1, int column1, int row2,
                                   int column2, std::uint32_t colour) = 0;

    // The text colour of a label; kDefaultLabelColour gives it back its own.
    virtual void setLabelColour(std::string_view label, std::uint32_t colour) {
        (void)label;
        (void)colour;
    }
    // The tooltip of one cell (empty: none).
    virtual bool gridSetCellTip(std::string_view grid, int row, int column, const Text& tip) {
        (void)grid;
        (void)row;
        (void)column;
        (void)tip;
        return false;
    }
    // The background of every cell of a data row.
    virtual bool gridSetRowBackground(std::string_view grid, int row, std::uint32_t colour) {
        (void)grid;
        (void)row;
        (void)colour;
        return false;
    }

    // Returns once every call this thread made before has taken effect. A
    // window whose writes take effect before they return has nothing to do.
    virtual void flush() {}

    // A pass has finished `done` of the `total` segments it works on; the
    // grid names its engine. At its start with done 0.
    virtual void passProgress(std::string_view grid, int done, int total) {
        (void)grid;
        (void)done;
        (void)total;
    }

    // The engine of the grid waits out a block (自动等待): `secondsLeft` of
    // its pause remain; 0 when it goes on.
    virtual void enginePaused(std::string_view grid, int secondsLeft) {
        (void)grid;
        (void)secondsLeft;
    }

    bool gridSetCell(std::string_view grid, int row, int column, int value) {
        return gridSetCell(grid, row, column, toText(static_cast<std::int32_t>(value)));
    }
};

}  // namespace oc

#pragma once

namespace app {
class FrmMain;
}

namespace keywords {

// Columns of the five list views, the totals row and the open-window list's click rule.
class ListViews {
public:
    explicit ListViews(app::FrmMain& f);
    /// Sets up the five lists and adds the totals row.
    void PreparListeView();
    /// The click on the open-window list enables the two add buttons when a row is selected.
    void ListView1_Click();
    /// Shows the four closure totals in the totals row.
    void showTotals();

private:
    app::FrmMain& f;
};

} // namespace keywords

#pragma once

// Watches a list view's table model while its rows change: Qt's own checker, and a count of
// rows kept from the model's announcements alone (a new order announces no count), which must
// always match.

#include "controls/ListView.h"

#include <QAbstractItemModelTester>
#include <QStringList>

namespace testing_support {

inline QStringList& modelWarnings() {
    static QStringList warnings;
    return warnings;
}

inline void collectModelWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg)
        modelWarnings().append(text);
}

} // namespace testing_support

class Checked {
public:
    explicit Checked(controls::ListView& list)
        : m_model(list.model()),
          m_previous(qInstallMessageHandler(testing_support::collectModelWarning)),
          m_tester(m_model, QAbstractItemModelTester::FailureReportingMode::Warning),
          m_announced(m_model->rowCount()) {
        testing_support::modelWarnings().clear();
        QObject::connect(
            m_model, &QAbstractItemModel::rowsInserted,
            [this](const QModelIndex&, int first, int last) { m_announced += last - first + 1; });
        QObject::connect(
            m_model, &QAbstractItemModel::rowsRemoved,
            [this](const QModelIndex&, int first, int last) { m_announced -= last - first + 1; });
        QObject::connect(m_model, &QAbstractItemModel::modelReset,
                         [this] { m_announced = m_model->rowCount(); });
    }
    ~Checked() { qInstallMessageHandler(m_previous); }
    Checked(const Checked&) = delete;
    Checked& operator=(const Checked&) = delete;
    /// The rows the model announced match the rows it has.
    bool consistent() const { return m_announced == m_model->rowCount(); }
    /// What Qt's checker found wrong.
    const QStringList& warnings() const { return testing_support::modelWarnings(); }

private:
    QAbstractItemModel* m_model;
    QtMessageHandler m_previous;
    QAbstractItemModelTester m_tester;
    int m_announced;
};

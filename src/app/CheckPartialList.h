// The check-partial list beside the possible-duplicates box: one row of calls that match
// what is typed in the call field, calls of this log first and marked, its accessible
// name carrying the total when the list is capped.
#pragma once

#include "assist/PartialMatches.h"

#include <QAbstractListModel>
#include <QListView>

namespace ditlog {

class CheckPartialModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void show(const PartialMatches& matches, const QString& band);
    const PartialMatches& matches() const { return m_matches; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    PartialMatches m_matches;
    quint16 m_bandBit = 0; // this band's bit: a call worked on it is a duplicate
};

class CheckPartialList : public QListView {
    Q_OBJECT
public:
    static constexpr int kShownCalls = 20;

    explicit CheckPartialList(QWidget* parent);
    CheckPartialModel& model() { return m_model; }
    // Shows the matches; the accessible name says the total when not all are shown.
    void showMatches(const PartialMatches& matches, const QString& band);
    // "12 calls", "3 near calls", "No calls", "30 of 2,513 calls".
    QString countText() const;
    // The first calls, spelled out for speech: "K 1 A B C, W 1 A W".
    QString firstCallsSpoken(int count) const;

Q_SIGNALS:
    // A call of the list was chosen (double click or Enter on it).
    void callChosen(const QString& call);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    CheckPartialModel m_model;
};

} // namespace ditlog

// The band plan panel's drawing as data: for one licence class, a bar per band on which
// the class has privileges, a name tag beside each bar, and a segment per privilege row
// laid into its bar in proportion to frequency. Positions in twips.
#pragma once

#include "rig/BandPlan.h"

#include <QList>
#include <QRectF>
#include <QString>

namespace ditlog {

struct BandPlanLabel {
    enum class Kind { Bar, Tag, Segment };
    Kind kind = Kind::Bar;
    QString name;    // "blbl1", "bnlb1", "priv1"
    QRectF twips;
    QString caption;
    QString toolTip;
    quint32 backColour = 0; // &HBBGGRR
    quint32 foreColour = 0;
    QString fontFamily;     // empty: the panel's font
    double fontPoints = 0;
    bool bold = false;
};

struct BandPlanGeometry {
    double width = 0;        // W: the panel's outer width
    double height = 0;       // H: its outer height
    double separatorTop = 0; // Y: top of the line under the header
    double fontScale = 1;    // s: screen width / 9600, at most 1.5
};

inline constexpr int kMaxBandPlanBars = 20;

// The title of a class button's drawing ("Extra Frequency Privileges"); empty for an
// unknown class code.
QString bandPlanTitle(const QString& classCode);

// Bars (in band order), then tags, then segments.
QList<BandPlanLabel> DrawPrivileges(const QList<BandPlanRow>& rows, const QString& classCode,
                                    const BandPlanGeometry& geometry);

} // namespace ditlog

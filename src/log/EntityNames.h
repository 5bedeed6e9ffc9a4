// The DX entity names known to the program, as seen by the windows that complete a
// typed name (the SPC field, the station window's country box) or place a call.
#pragma once

#include <QString>

#include <optional>

namespace ditlog {

struct EntityInfo {
    QString entity;
    QString continent;
    float longitude = 0; // degrees, west positive
    float latitude = 0;
};

class EntityNames {
public:
    virtual ~EntityNames() = default;
    // The entity met first when scanning from the last entry to the first whose name
    // begins with prefix; nothing while no table is loaded.
    virtual std::optional<EntityInfo> completeEntityName(const QString& prefix,
                                                         Qt::CaseSensitivity cs) const = 0;
    // The entity of a call sign by the prefix lookup; nothing when no prefix matches or
    // no table is loaded.
    virtual std::optional<EntityInfo> entityOfCall(const QString& call) const = 0;
};

} // namespace ditlog

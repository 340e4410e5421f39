#include "chart/gestures.h"

namespace krelby {
namespace {

const char* const kDeclarationName = "KrelbyGestures";

class Declaration : public QObject {
public:
    Declaration(QObject* owner, GestureGroup group) : QObject(owner), group_(std::move(group)) {
        setObjectName(kDeclarationName);
    }
    const GestureGroup& Group() const { return group_; }

private:
    GestureGroup group_;
};

}  // namespace

void DeclareGestures(QObject* owner, const QString& where, std::vector<Gesture> gestures) {
    new Declaration(owner, {where, std::move(gestures)});
}

std::vector<GestureGroup> DeclaredGestures(const QObject* root) {
    std::vector<GestureGroup> groups;
    QList<QObject*> found = root->findChildren<QObject*>(kDeclarationName);
    found.prepend(const_cast<QObject*>(root));
    for (const QObject* o : found)
        if (const auto* d = dynamic_cast<const Declaration*>(o)) groups.push_back(d->Group());
    return groups;
}

}  // namespace krelby

#include "assets/frameaccess.h"

#include <algorithm>

namespace mb {

namespace {

template <class... Ts>
struct Overload : Ts...
{
    using Ts::operator()...;
};
// Spelled out for compilers without aggregate deduction (clang before 17, used for fuzzing).
template <class... Ts>
Overload(Ts...) -> Overload<Ts...>;

FrameSlot fromRframe(const Rframe &f) { return {f.image, f.image2, f.script, f.x, f.y, f.x2, f.y2}; }

Rframe toRframe(const FrameSlot &s) { return {s.image, s.image2, s.script, s.x, s.y, s.x2, s.y2}; }

} // namespace

const FrameLayout &frameLayout(AssetKind kind)
{
    static const FrameLayout layouts[] = {
        {Robj::States, Robj::Frames, 30, true, true, true},
        {Rcharacter::States, Rcharacter::Frames, 0, true, true, true},
        {RItem::States, RItem::Frames, 25, false, false, true},
        {Rmouse::Cursors, Rmouse::Frames, 25, false, false, false},
    };
    return layouts[int(kind)];
}

FrameSlot FrameView::frame(int state, int frame) const
{
    if (!validState(state) || !validFrame(frame))
        return {};
    const size_t s = size_t(state - 1), f = size_t(frame - 1);
    return std::visit(Overload{
                          [&](const Robj *o) { return fromRframe(o->frames[s][f]); },
                          [&](const Rcharacter *c) { return fromRframe(c->frames[s][f]); },
                          [&](const RItem *i) {
                              const ItemFrame &it = i->frames[s][f];
                              FrameSlot slot;
                              slot.image = it.image;
                              slot.script = it.script;
                              return slot;
                          },
                          [&](const Rmouse *m) {
                              FrameSlot slot;
                              slot.image = m->frames[s][f];
                              return slot;
                          },
                      },
                      m_rec);
}

int FrameView::speed(int state) const
{
    if (!validState(state))
        return 0;
    return std::visit([&](auto *r) { return int(r->speed[size_t(state - 1)]); }, m_rec);
}

QSize FrameView::box(int state) const
{
    return std::visit(Overload{
                          [](const Robj *o) { return QSize(o->width, o->height); },
                          [&](const Rcharacter *c) {
                              return validState(state) ? QSize(c->width[size_t(state - 1)], c->height[size_t(state - 1)])
                                                       : QSize();
                          },
                          [](const RItem *) { return QSize(); },
                          [](const Rmouse *) { return QSize(); },
                      },
                      m_rec);
}

bool FrameView::hasAnyImage() const
{
    for (int s = 1; s <= states(); ++s)
        for (int f = 1; f <= frames(); ++f)
            if (frame(s, f).hasImage())
                return true;
    return false;
}

void FrameAccess::setFrame(int state, int frame, const FrameSlot &slot)
{
    if (!validState(state) || !validFrame(frame) || this->frame(state, frame) == slot)
        return;
    const size_t s = size_t(state - 1), f = size_t(frame - 1);
    std::visit(Overload{
                   [&](const Robj *o) { const_cast<Robj *>(o)->frames[s][f] = toRframe(slot); },
                   [&](const Rcharacter *c) { const_cast<Rcharacter *>(c)->frames[s][f] = toRframe(slot); },
                   [&](const RItem *i) {
                       const_cast<RItem *>(i)->frames[s][f] = ItemFrame{slot.image, slot.script};
                   },
                   [&](const Rmouse *m) { const_cast<Rmouse *>(m)->frames[s][f] = slot.image; },
               },
               m_rec);
}

void FrameAccess::setSpeed(int state, int speed)
{
    if (!validState(state))
        return;
    const uint8_t value = uint8_t(std::clamp(speed, 0, 255));
    std::visit([&](auto *r) { const_cast<std::remove_const_t<std::remove_pointer_t<decltype(r)>> *>(r)->speed[size_t(state - 1)] = value; },
               m_rec);
}

void FrameAccess::setBox(int state, QSize size)
{
    const auto w = uint16_t(std::clamp(size.width(), 0, 65535));
    const auto h = uint16_t(std::clamp(size.height(), 0, 65535));
    std::visit(Overload{
                   [&](const Robj *o) {
                       auto *obj = const_cast<Robj *>(o);
                       obj->width = w;
                       obj->height = h;
                   },
                   [&](const Rcharacter *c) {
                       if (!validState(state))
                           return;
                       auto *chr = const_cast<Rcharacter *>(c);
                       chr->width[size_t(state - 1)] = w;
                       chr->height[size_t(state - 1)] = h;
                   },
                   [](const RItem *) {},
                   [](const Rmouse *) {},
               },
               m_rec);
}

} // namespace mb

#pragma once

#include "graphics/Drawable.h"

class CGraphicsContext;

// A drawable that draws by calling one member function of an object:
//
//     CShapeDrawer<CDogPath> drawer(this, &CDogPath::DrawPathLine);
//     CFieldWriter& key = drawer.BeginKey();
//     key.WriteInt8(colorMode);  ...
//     context.DrawDrawable(drawer, 0, 0);
//
// The key is the caller's: every drawer of one T shares the class tag, so a
// caller that binds different member functions of one T must tell them
// apart in the parameters it appends. Until then the drawer has a unique key.
// The object is borrowed and must outlive every use of the drawer.
template <class T>
class CShapeDrawer : public CDrawable
{
public:
    using DrawFunction = void (T::*)(CGraphicsContext&);

    CShapeDrawer(T* object, DrawFunction function) : m_object(object), m_function(function) {}

    void Draw(CGraphicsContext& context) override
    {
        if (m_object && m_function)
            (m_object->*m_function)(context);
    }

    T* GetOwner() const { return m_object; }
    DrawFunction GetFunction() const { return m_function; }

private:
    T* m_object;
    DrawFunction m_function;
};

#pragma once

// A one-argument callback: a handle to a reference-counted implementation.
// Copying a handle shares the implementation; the last handle released frees
// it. Invoking an empty delegate does nothing. The bound object is never
// owned by the delegate.
//
//     button.onClick = CMemberDelegate<CPushButton*, CMyDialog>::Make(this, &CMyDialog::OnOk);
//     timer.SetOnTimer(CDelegate<CTimer*>::FromFunction(&OnTick));

template <class T>
class CDelegate
{
public:
    class CImpl
    {
    public:
        virtual ~CImpl() = default;
        virtual void Invoke(T argument) = 0;

    private:
        friend class CDelegate;
        int m_references = 0;
    };

    // Binds a free function.
    class CStaticImpl : public CImpl
    {
    public:
        explicit CStaticImpl(void (*function)(T)) : m_function(function) {}
        void Invoke(T argument) override { m_function(argument); }

    private:
        void (*m_function)(T);
    };

    CDelegate() = default;
    // Takes a reference to a freshly made implementation (may be null).
    explicit CDelegate(CImpl* impl) : m_impl(impl) { AddRef(); }
    CDelegate(const CDelegate& other) : m_impl(other.m_impl) { AddRef(); }
    CDelegate(CDelegate&& other) noexcept : m_impl(other.m_impl) { other.m_impl = nullptr; }
    ~CDelegate() { Release(); }

    CDelegate& operator=(const CDelegate& other)
    {
        if (m_impl != other.m_impl) {
            CImpl* old = m_impl;
            m_impl = other.m_impl;
            AddRef();
            Release(old);
        }
        return *this;
    }

    CDelegate& operator=(CDelegate&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_impl = other.m_impl;
            other.m_impl = nullptr;
        }
        return *this;
    }

    static CDelegate FromFunction(void (*function)(T)) { return CDelegate(new CStaticImpl(function)); }

    void operator()(T argument) const { Invoke(argument); }
    void Invoke(T argument) const
    {
        if (m_impl)
            m_impl->Invoke(argument);
    }

    bool IsEmpty() const { return m_impl == nullptr; }
    explicit operator bool() const { return m_impl != nullptr; }
    bool operator==(const CDelegate& other) const { return m_impl == other.m_impl; }
    bool operator!=(const CDelegate& other) const { return m_impl != other.m_impl; }
    void Reset() { Release(); }

    // How many handles share the implementation (0 when empty).
    int GetReferenceCount() const { return m_impl ? m_impl->m_references : 0; }

private:
    void AddRef()
    {
        if (m_impl)
            ++m_impl->m_references;
    }
    void Release()
    {
        Release(m_impl);
        m_impl = nullptr;
    }
    static void Release(CImpl* impl)
    {
        if (impl && --impl->m_references == 0)
            delete impl;
    }

    CImpl* m_impl = nullptr;
};

// Binds a member function of an object of class C.
template <class T, class C>
class CMemberDelegate : public CDelegate<T>::CImpl
{
public:
    using Member = void (C::*)(T);

    CMemberDelegate(C* object, Member member) : m_object(object), m_member(member) {}
    void Invoke(T argument) override { (m_object->*m_member)(argument); }

    static CDelegate<T> Make(C* object, Member member)
    {
        return CDelegate<T>(new CMemberDelegate(object, member));
    }

private:
    C* m_object;
    Member m_member;
};

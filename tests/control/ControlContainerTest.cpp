// The control as any container meets it: created through its registration,
// its events found by enumeration and by interface id, its type information
// read and checked against what IDispatch answers, its settings loaded from
// the parameters of a page and saved to and restored from a stream.
#include "tests/control/ControlHost.h"
#include "tests/control/TestMovie.h"

#include "control/com/Guids.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>

namespace lumbra::com::test {
namespace {

using ServerFn = HRESULT STDAPICALLTYPE();

// A property bag as a page's <param> list gives it: every value a text.
class ParameterBag final : public IPropertyBag {
public:
    std::map<std::wstring, std::wstring> values; // lower-case names

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
            *out = static_cast<IPropertyBag*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        auto it = values.find(lower(name));
        if (it == values.end()) return E_INVALIDARG;
        V_VT(value) = VT_BSTR;
        V_BSTR(value) = SysAllocString(it->second.c_str());
        return S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
        Variant text;
        if (FAILED(VariantChangeType(text.get(), value, 0, VT_BSTR))) return E_FAIL;
        values[lower(name)] = V_BSTR(text.get());
        return S_OK;
    }

    static std::wstring lower(const wchar_t* name) {
        std::wstring text(name);
        for (auto& c : text) c = wchar_t(std::towlower(c));
        return text;
    }
};

// An event sink that only counts what reaches it.
class CountingSink final : public IDispatch {
public:
    int calls = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        ++calls;
        return S_OK;
    }
};

// The registered control, created as an installed one is.
class ControlContainer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(library.entry<ServerFn>("DllRegisterServer")(), S_OK);
        ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(control.put())),
                  S_OK);
    }
    void TearDown() override {
        control.reset();
        CoFreeUnusedLibraries();
        library.entry<ServerFn>("DllUnregisterServer")();
    }

    std::u16string text(const wchar_t* name) {
        Variant value;
        if (FAILED(get(name, value))) return u"<failed>";
        if (FAILED(VariantChangeType(value.get(), value.get(), VARIANT_ALPHABOOL, VT_BSTR))) return u"<not text>";
        return std::u16string(bstrView(V_BSTR(value.get())));
    }
    HRESULT get(const wchar_t* name, Variant& value) {
        auto dispatch = control.query<IDispatch>();
        DISPID id;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) return hr;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value.get(),
                                nullptr, nullptr);
    }
    HRESULT put(const wchar_t* name, const wchar_t* value) {
        auto dispatch = control.query<IDispatch>();
        DISPID id;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) return hr;
        Bstr textValue(std::u16string(value, value + wcslen(value)));
        VARIANT arg = textArg(textValue);
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS params = {&arg, &putId, 1, 1};
        return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                                nullptr, nullptr);
    }

    ControlLibrary library;
    ComPtr<IUnknown> control;
};

struct TypeAttr {
    TypeAttr(ITypeInfo* info) : info(info) { info->GetTypeAttr(&attr); }
    ~TypeAttr() { info->ReleaseTypeAttr(attr); }
    ITypeInfo* info;
    TYPEATTR* attr = nullptr;
};

std::wstring nameOf(ITypeInfo* info, MEMBERID id) {
    BSTR name = nullptr;
    info->GetDocumentation(id, &name, nullptr, nullptr, nullptr);
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    return text;
}

TEST_F(ControlContainer, FindsTheEventsByEnumerationAndById) {
    auto container = control.query<IConnectionPointContainer>();
    ASSERT_TRUE(container);
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.put()), S_OK);
    std::vector<ComPtr<IConnectionPoint>> found;
    IConnectionPoint* point = nullptr;
    ULONG fetched = 0;
    // Bounded, so that an enumerator that never ends fails here instead of hanging.
    for (int i = 0; i < 4; ++i) {
        point = nullptr;
        if (points->Next(1, &point, &fetched) != S_OK || !point) break;
        found.push_back(ComPtr<IConnectionPoint>::adopt(point));
    }
    ASSERT_EQ(found.size(), 1u);
    IID iid;
    ASSERT_EQ(found[0]->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, kEventInterfaceId);

    // The same point by its interface id, and through the class information.
    ComPtr<IConnectionPoint> byId;
    ASSERT_EQ(container->FindConnectionPoint(kEventInterfaceId, byId.put()), S_OK);
    EXPECT_EQ(byId.query<IUnknown>().get(), found[0].query<IUnknown>().get());
    auto classInfo = control.query<IProvideClassInfo2>();
    ASSERT_TRUE(classInfo);
    GUID source;
    ASSERT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, kEventInterfaceId);
    EXPECT_EQ(classInfo->GetGUID(42, &source), E_INVALIDARG);

    // Enumerators: Reset, Skip, Clone, and a count past the end.
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(2), S_FALSE);
    ComPtr<IEnumConnectionPoints> clone;
    EXPECT_EQ(points->Clone(clone.put()), S_OK);
    point = nullptr;
    EXPECT_EQ(clone->Next(1, &point, nullptr), S_FALSE);
    EXPECT_EQ(point, nullptr);
    clone->Reset();
    IConnectionPoint* two[2] = {};
    EXPECT_EQ(clone->Next(2, two, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    two[0]->Release();

    // Connections are listed while they last.
    CountingSink sink;
    DWORD first = 0, second = 0;
    ASSERT_EQ(byId->Advise(&sink, &first), S_OK);
    ASSERT_EQ(byId->Advise(&sink, &second), S_OK);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(byId->EnumConnections(connections.put()), S_OK);
    ASSERT_EQ(byId->Unadvise(first), S_OK);
    CONNECTDATA data[3] = {};
    ASSERT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u) << "a snapshot keeps what was there when it was made";
    EXPECT_EQ(data[0].dwCookie, first);
    EXPECT_EQ(data[1].dwCookie, second);
    for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
    connections.reset();
    ASSERT_EQ(byId->EnumConnections(connections.put()), S_OK);
    ASSERT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(data[0].dwCookie, second);
    data[0].pUnk->Release();
    EXPECT_EQ(byId->Unadvise(second), S_OK);
}

TEST_F(ControlContainer, TypeInformationDescribesTheClassAndItsEvents) {
    auto classInfo = control.query<IProvideClassInfo>();
    ASSERT_TRUE(classInfo);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(coclass.put()), S_OK);
    TypeAttr classAttr(coclass.get());
    EXPECT_EQ(classAttr.attr->typekind, TKIND_COCLASS);
    EXPECT_EQ(classAttr.attr->guid, kClassId);
    ASSERT_EQ(classAttr.attr->cImplTypes, 2);

    // The default source interface is the event interface, FSCommand at id 150.
    ComPtr<ITypeInfo> events;
    for (UINT i = 0; i < classAttr.attr->cImplTypes; ++i) {
        INT flags = 0;
        coclass->GetImplTypeFlags(i, &flags);
        if (flags != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) continue;
        HREFTYPE ref;
        ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &ref), S_OK);
        ASSERT_EQ(coclass->GetRefTypeInfo(ref, events.put()), S_OK);
    }
    ASSERT_TRUE(events);
    TypeAttr eventAttr(events.get());
    EXPECT_EQ(eventAttr.attr->guid, kEventInterfaceId);
    EXPECT_EQ(eventAttr.attr->typekind, TKIND_DISPATCH);
    std::map<std::wstring, MEMBERID> eventIds;
    for (UINT i = 0; i < eventAttr.attr->cFuncs; ++i) {
        FUNCDESC* f = nullptr;
        ASSERT_EQ(events->GetFuncDesc(i, &f), S_OK);
        eventIds[nameOf(events.get(), f->memid)] = f->memid;
        if (f->memid == 150) {
            ASSERT_EQ(f->cParams, 2);
            EXPECT_EQ(f->lprgelemdescParam[0].tdesc.vt, VT_BSTR);
            EXPECT_EQ(f->lprgelemdescParam[1].tdesc.vt, VT_BSTR);
        }
        events->ReleaseFuncDesc(f);
    }
    EXPECT_EQ(eventIds, (std::map<std::wstring, MEMBERID>{
                            {L"FSCommand", 150}, {L"OnProgress", 0x7a6}, {L"OnReadyStateChange", -609},
                            {L"FlashCall", 0xc5}}));
}

TEST_F(ControlContainer, TypeInformationAgreesWithDispatch) {
    auto dispatch = control.query<IDispatch>();
    UINT count = 0;
    ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    ASSERT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(dispatch->GetTypeInfo(1, 0, info.put()), DISP_E_BADINDEX);
    ASSERT_EQ(dispatch->GetTypeInfo(0, 0, info.put()), S_OK);
    TypeAttr attr(info.get());
    EXPECT_EQ(attr.attr->guid, kControlInterfaceId);
    EXPECT_EQ(attr.attr->typekind, TKIND_DISPATCH);
    // Its interface id is answered too, by the dispatch interface.
    ComPtr<IUnknown> byInterfaceId;
    EXPECT_EQ(control->QueryInterface(kControlInterfaceId, reinterpret_cast<void**>(byInterfaceId.put())), S_OK);

    // Every member described is found by IDispatch under the same id, and a
    // put or a method described as such is not refused as unknown.
    int members = 0;
    for (UINT i = 0; i < attr.attr->cFuncs; ++i) {
        FUNCDESC* f = nullptr;
        ASSERT_EQ(info->GetFuncDesc(i, &f), S_OK);
        std::wstring name = nameOf(info.get(), f->memid);
        LPOLESTR names[] = {name.data()};
        DISPID id = 0;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << name.c_str();
        EXPECT_EQ(id, f->memid) << name.c_str();
        DISPID typeId = 0;
        EXPECT_EQ(info->GetIDsOfNames(names, 1, &typeId), S_OK);
        EXPECT_EQ(typeId, f->memid);
        if (f->invkind == INVOKE_FUNC || f->invkind == INVOKE_PROPERTYGET) {
            // The argument count of the description is the one Invoke checks.
            std::vector<VARIANT> args(std::size_t(f->cParams) + 1);
            for (auto& a : args) V_VT(&a) = VT_EMPTY;
            DISPPARAMS tooMany = {args.data(), nullptr, UINT(f->cParams) + 1, 0};
            EXPECT_EQ(dispatch->Invoke(id, IID_NULL, 0, WORD(f->invkind), &tooMany, nullptr, nullptr, nullptr),
                      DISP_E_BADPARAMCOUNT)
                << name.c_str();
        }
        info->ReleaseFuncDesc(f);
        ++members;
    }
    EXPECT_GE(members, 70);
}

TEST_F(ControlContainer, LoadsItsSettingsFromAPagesParameters) {
    TempFolder folder;
    TestMovie movie(40, 30, 12, 0xFF00FF00);
    movie.showFrame();
    movie.save(folder.path() / L"page.swf");

    ParameterBag bag;
    bag.values = {{L"src", L"page.swf"},       {L"base", folder.path().wstring()},
                  {L"quality", L"low"},        {L"bgcolor", L"#FF8000"},
                  {L"loop", L"false"},         {L"play", L"false"},
                  {L"scale", L"noborder"},     {L"salign", L"tl"},
                  {L"wmode", L"transparent"},  {L"menu", L"false"},
                  {L"flashvars", L"a=1&b=2"},  {L"devicefont", L"true"},
                  {L"swremote", L"x"},         {L"embedmovie", L"1"}};
    auto persist = control.query<IPersistPropertyBag>();
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->InitNew(), S_OK);
    ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);

    EXPECT_EQ(text(L"Movie"), u"page.swf");
    EXPECT_EQ(text(L"ReadyState"), u"4") << "the movie was found through the base";
    EXPECT_EQ(text(L"Quality2"), u"Low");
    EXPECT_EQ(text(L"BGColor"), u"#FF8000");
    EXPECT_EQ(text(L"Loop"), u"False");
    EXPECT_EQ(text(L"Playing"), u"False");
    EXPECT_EQ(text(L"ScaleMode"), u"1");
    EXPECT_EQ(text(L"SAlign"), u"TL");
    EXPECT_EQ(text(L"WMode"), u"transparent");
    EXPECT_EQ(text(L"Menu"), u"False");
    EXPECT_EQ(text(L"FlashVars"), u"a=1&b=2");
    EXPECT_EQ(text(L"DeviceFont"), u"True");
    EXPECT_EQ(text(L"EmbedMovie"), u"True");
    EXPECT_EQ(text(L"SWRemote"), u"x");

    // Numbers where the property is a number, a value refused passed over.
    ParameterBag numbers;
    numbers.values = {{L"quality", L"0"}, {L"scalemode", L"2"}, {L"bgcolor", L"not a colour"}};
    ASSERT_EQ(persist->Load(&numbers, nullptr), S_OK);
    EXPECT_EQ(text(L"Quality2"), u"Low");
    EXPECT_EQ(text(L"ScaleMode"), u"2");
    EXPECT_EQ(text(L"BGColor"), u"#FF8000");

    // Saved under the page's names.
    ParameterBag saved;
    ASSERT_EQ(persist->Save(&saved, TRUE, TRUE), S_OK);
    EXPECT_EQ(saved.values[L"movie"], L"page.swf");
    EXPECT_EQ(saved.values[L"scale"], L"exactfit");
    EXPECT_EQ(saved.values[L"bgcolor"], L"#FF8000");
    EXPECT_EQ(saved.values[L"flashvars"], L"a=1&b=2");
}

TEST_F(ControlContainer, SettingsSurviveAStreamAndDamagedStreamsChangeNothing) {
    auto persist = control.query<IPersistStreamInit>();
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->InitNew(), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    ASSERT_EQ(put(L"FlashVars", L"x=\u00e9t\u00e9"), S_OK);
    ASSERT_EQ(put(L"Scale", L"noscale"), S_OK);
    ASSERT_EQ(put(L"BGColor", L"#123456"), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);

    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
    ULARGE_INTEGER expected;
    ASSERT_EQ(persist->GetSizeMax(&expected), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    STATSTG stat;
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, expected.QuadPart);

    // The bytes of the stream, for a fresh control and for damaged copies.
    std::vector<BYTE> bytes(std::size_t(stat.cbSize.QuadPart));
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), ULONG(bytes.size()), &read);
    ASSERT_EQ(read, bytes.size());
    auto streamOf = [](const std::vector<BYTE>& content) {
        ComPtr<IStream> s;
        CreateStreamOnHGlobal(nullptr, TRUE, s.put());
        s->Write(content.data(), ULONG(content.size()), nullptr);
        LARGE_INTEGER zero = {};
        s->Seek(zero, STREAM_SEEK_SET, nullptr);
        return s;
    };

    ComPtr<IUnknown> other;
    ASSERT_EQ(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(other.put())),
              S_OK);
    std::swap(control, other);
    auto restored = control.query<IPersistStreamInit>();
    ASSERT_EQ(restored->Load(streamOf(bytes).get()), S_OK);
    EXPECT_EQ(text(L"FlashVars"), u"x=\u00e9t\u00e9");
    EXPECT_EQ(text(L"Scale"), u"noscale");
    EXPECT_EQ(text(L"BGColor"), u"#123456");

    ASSERT_EQ(put(L"Scale", L"showall"), S_OK);
    auto wrongMagic = bytes;
    wrongMagic[0] ^= 1;
    auto hugeCount = bytes;
    std::fill_n(hugeCount.begin() + 4, 4, BYTE(0xFF));
    auto longName = bytes;
    longName[8] = 0xFF;
    auto cut = bytes;
    cut.resize(bytes.size() - 1);
    for (const auto* damaged : {&wrongMagic, &hugeCount, &longName, &cut}) {
        EXPECT_EQ(restored->Load(streamOf(*damaged).get()), STG_E_DOCFILECORRUPT);
        EXPECT_EQ(text(L"Scale"), u"showall");
    }
    std::swap(control, other);
}

} // namespace
} // namespace lumbra::com::test

#include "conversion/EffectTable.h"
#include <initializer_list>
#include <memory>
#include "conversion/Alpha.h"
#include "conversion/ChangeRgb.h"
#include "conversion/ColorFilter.h"
#include "conversion/ColorValue.h"
#include "conversion/ConvolutionFilter.h"
#include "conversion/Edge.h"
#include "conversion/EdgeDetect.h"
#include "conversion/Emboss.h"
#include "conversion/Equalize.h"
#include "conversion/GrayScale.h"
#include "conversion/InvertColor.h"
#include "conversion/Light.h"
#include "conversion/Median.h"
#include "conversion/Mirror.h"
#include "conversion/PixelFilter.h"
#include "conversion/Pixelate.h"
#include "conversion/Posterize.h"
#include "conversion/RadialBlur.h"
#include "conversion/Sepia.h"
#include "conversion/Sharp.h"
#include "conversion/Soft.h"
#include "conversion/Temperature.h"
#include "conversion/Transform.h"
#include "foundation/Application.h"
#include "foundation/GCPtrs.h"
#include "foundation/Mutex.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"

using ImageConvert::ImageConverter;

namespace {

// Makes the filters and converters of the presets. Every new object is registered through the scope, so
// that a failure part-way leaves nothing behind; an object handed to an owner that deletes it (an adapter,
// an owning array) leaves the collector again first. A failed allocation throws Exception 8.
class PresetMaker {
public:
    explicit PresetMaker(GCPtrs& scope) : scope(scope) {}

    ImageConverter* transform(ITransform* transform) { return adapt<ImageConvert::Transform>(transform); }
    ImageConverter* colorFilter(IColorFilter* filter) { return readyColorFilter(filter); }
    ImageConverter* colorFilter(ColorValue* filter) { return readyColorFilter(filter); }
    ImageConverter* pixelFilter(IPixelFilter* filter) { return adapt<ImageConvert::PixelFilter>(filter); }
    ImageConverter* convolutionFilter(IConvolutionFilter* filter, unsigned int passes)
    {
        return adapt<ImageConvert::ConvolutionFilter>(filter, passes);
    }
    ImageConverter* converter(ImageConverter* made) { return scope.add(made); }

    // The two converters one after the other; with ownsMembers the chain takes them over, otherwise they
    // stay registered as they are.
    ImageConverter* chain(ImageConverter* first, ImageConverter* second, bool ownsMembers)
    {
        ObjectArray<ImageConverter>* members = scope.add(new (std::nothrow) ObjectArray<ImageConverter>(ownsMembers));
        for (ImageConverter* member : {first, second}) {
            if (ownsMembers)
                scope.detach(member);
            // An owning array deletes what it cannot take.
            if (!members->add(member))
                Exception::throwLastError();
        }
        return adopt<ImageConvert::ImageConverters>(members);
    }

private:
    template <typename Filter>
    ImageConverter* readyColorFilter(Filter* filter)
    {
        // Tables that could not be had would fail every picture for the rest of the run.
        if (!scope.add(filter)->isReady())
            throw Exception(ErrorCode::NoMemory);
        return adopt<ImageConvert::ColorFilter>(filter);
    }

    template <typename Adapter, typename Filter, typename... Extra>
    ImageConverter* adapt(Filter* filter, Extra... extra)
    {
        scope.add(filter);
        return adopt<Adapter>(filter, extra...);
    }

    // The adapter owns the registered object from its birth, so the object leaves the collector for it.
    template <typename Adapter, typename Owned, typename... Extra>
    ImageConverter* adopt(Owned* object, Extra... extra)
    {
        std::unique_ptr<Owned> owned(scope.detach(object));
        Adapter* adapter = new (std::nothrow) Adapter(owned.get(), true, extra...);
        if (adapter)
            owned.release();
        return scope.add<ImageConverter>(adapter);
    }

    GCPtrs& scope;
};

} // namespace

void EffectTable::build(const AppSetting& setting, GarbageCollector& collector, Mutex& mutex)
{
    if (isBuilt())
        return;
    MutexLock hold(mutex);
    if (!hold.isOwned())
        Exception::throwLastError();
    if (isBuilt())
        return;
    if (!slots.setSize(LastPreset + 1))
        Exception::throwLastError();
    GCPtrs scope(&collector);
    ImageConverter* presets[LastPreset + 1] = {};
    makePresets(setting, scope, presets);
    for (int i = 1; i <= LastPreset; ++i)
        setEffect(i, scope.keep(presets[i]));
    built.store(true, std::memory_order_release);
}

void EffectTable::clear()
{
    built.store(false, std::memory_order_release);
    slots.setSize(0);
}

bool EffectTable::setEffect(int index, ImageConverter* converter)
{
    if (index < 0 || index >= slots.count()) {
        SetLastError(ErrorCode::InvalidArgument);
        return false;
    }
    slots.at(index) = converter;
    return true;
}

ImageConverter* EffectTable::converter(int index) const
{
    if (index < 0 || index >= slots.count())
        return nullptr;
    return slots.at(index);
}

void EffectTable::makePresets(const AppSetting& setting, GCPtrs& scope, ImageConverter* presets[LastPreset + 1])
{
    PresetMaker make(scope);
    presets[1] = make.transform(new (std::nothrow) Mirror(false));
    presets[2] = make.transform(new (std::nothrow) Mirror(true));
    presets[3] = make.colorFilter(new (std::nothrow) GrayScale(false));
    presets[5] = make.colorFilter(new (std::nothrow) Sepia());
    presets[6] = make.colorFilter(new (std::nothrow) Temperature(setting.effectWarmLevel));
    presets[7] = make.colorFilter(new (std::nothrow) Temperature(-setting.effectCoolLevel));
    ColorValue* saturate = new (std::nothrow) ColorValue();
    if (saturate)
        saturate->setSaturationIncrease(setting.effectSaturation.toDouble());
    presets[8] = make.colorFilter(saturate);
    ColorValue* desaturate = new (std::nothrow) ColorValue();
    if (desaturate)
        desaturate->setHsv(0, setting.effectSaturation.multiply(Decimal(-1)).toDouble(), 0);
    presets[9] = make.colorFilter(desaturate);
    presets[10] = make.colorFilter(new (std::nothrow) InvertColor());
    presets[4] = make.chain(presets[3], presets[10], false);
    presets[11] = make.colorFilter(new (std::nothrow) Light(LightContrast, setting.effectContrastTimes));
    presets[12] = make.pixelFilter(new (std::nothrow) Equalize(0.25));
    presets[13] = make.pixelFilter(new (std::nothrow) Equalize(setting.effectEqualizeLevelS.toDouble()));
    presets[14] = make.convolutionFilter(new (std::nothrow) Soft(), setting.effectSoftTimes);
    presets[15] = make.convolutionFilter(new (std::nothrow) Sharp(), setting.effectSharpTimes);
    ImageConverter* emboss = make.convolutionFilter(new (std::nothrow) Emboss(1), 1);
    ColorValue* lift = new (std::nothrow) ColorValue();
    if (lift)
        lift->setRgb(127, 127, 127);
    presets[16] = make.chain(emboss, make.colorFilter(lift), true);
    presets[17] = make.pixelFilter(new (std::nothrow) Median());
    presets[18] = make.convolutionFilter(new (std::nothrow) Edge(), 1);
    presets[19] = make.pixelFilter(new (std::nothrow) EdgeDetect());
    presets[20] = make.converter(new (std::nothrow) ImageConvert::Mask(false));
    presets[21] = make.converter(new (std::nothrow) ImageConvert::Mask(true));
    int blockSize = setting.effectPixelateSize < 2 ? 2 : setting.effectPixelateSize;
    presets[22] = make.pixelFilter(new (std::nothrow) Pixelate(blockSize, false));
    presets[23] = make.pixelFilter(new (std::nothrow) RadialBlur(setting.effectBlurScale, RadialBlurZoom));
    presets[24] = make.pixelFilter(new (std::nothrow) RadialBlur(setting.effectBlurScale, RadialBlurRotation));
    presets[25] = make.colorFilter(new (std::nothrow) Alpha(255));
    presets[26] = make.colorFilter(new (std::nothrow) Alpha(static_cast<BYTE>(setting.effectAlpha & 0xFF)));
    presets[27] = make.colorFilter(new (std::nothrow) Posterize(256, 1, 1));
    presets[28] = make.colorFilter(new (std::nothrow) Posterize(1, 256, 1));
    presets[29] = make.colorFilter(new (std::nothrow) Posterize(1, 1, 256));
    presets[30] = make.colorFilter(new (std::nothrow) ChangeRgb(0, 2, 1));
    presets[31] = make.colorFilter(new (std::nothrow) ChangeRgb(1, 0, 2));
    presets[32] = make.colorFilter(new (std::nothrow) ChangeRgb(1, 2, 0));
    presets[33] = make.colorFilter(new (std::nothrow) ChangeRgb(2, 0, 1));
    presets[34] = make.colorFilter(new (std::nothrow) ChangeRgb(2, 1, 0));
}

namespace {

EffectTable& programTable()
{
    static EffectTable table;
    return table;
}

} // namespace

void buildEffectTable()
{
    Application* application = getApplication();
    if (!application)
        throw Exception(ErrorCode::InvalidState);
    programTable().build(getAppSetting(), getAppCollector(), application->getSecondMutex());
}

void clearEffectTable()
{
    programTable().clear();
}

bool setEffect(int index, ImageConverter* converter)
{
    return programTable().setEffect(index, converter);
}

ImageConverter* effectPresetConverter(EffectPreset index)
{
    EffectTable& table = programTable();
    return table.isBuilt() ? table.converter(index) : nullptr;
}

#include "settings/FrameSettings.h"

#include "settings/SettingsBackend.h"

#include <algorithm>

namespace {
constexpr QStringView PainWidthKey = u"Pain_Width";
constexpr QStringView ApplicationLookKey = u"ApplicationLook";
} // namespace

void FrameSettings::read(const SettingsBackend &backend)
{
    Pain_Width = backend.readInt(SettingsSection::Settings, PainWidthKey, DefaultPainWidth);
    ApplicationLook = backend.readInt(SettingsSection::Workspace, ApplicationLookKey, DefaultApplicationLook);
}

void FrameSettings::writePainWidth(SettingsBackend &backend) const
{
    backend.writeInt(SettingsSection::Settings, PainWidthKey, std::max(Pain_Width, MinPainWidth));
    backend.flush();
}

void FrameSettings::writeApplicationLook(SettingsBackend &backend) const
{
    backend.writeInt(SettingsSection::Workspace, ApplicationLookKey, ApplicationLook);
    backend.flush();
}

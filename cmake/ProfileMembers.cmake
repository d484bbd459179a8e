# The members every platform profile must carry. The build turns each into one scrambled
# item of the binary (see GenerateProfile.cmake); text members are restored as text, the
# others as their JSON text. Each platform's build asks for updates with texts of its own:
# versionUrl, versionPath and updateDownloadUrl for Windows, the linux... ones for Linux.
set(KESTRUM_PROFILE_MEMBERS
    linkKey
    diagnosticKey
    serviceToken
    userAgent
    platformDomain
    platformHostFragments
    defaultPins
    pinsUrl
    versionUrl
    versionPath
    linuxVersionUrl
    linuxVersionPath
    contentPath
    contentFormFields
    contentMembers
    serviceDeviceHeaders
    deviceHeaders
    pageScriptUrlPrefix
    startUrl
    homeUrl
    updateDownloadUrl
    linuxUpdateDownloadUrl
    runtimeInstallerUrl
    clientHeader
    mediaDeviceHeaders
    mediaPatterns
    startWindowHeaders
    browserSwitches
    allowedHostSuffixes
    videoCdnFamilies
    securityProducts
    osVersionQuery
    deviceQuery)

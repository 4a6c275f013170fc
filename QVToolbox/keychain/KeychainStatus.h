// Status: the result codes of the keychain store, each with its message, and the error that
// every failing keychain operation throws.
//
//   Status s(platform::OSStatus(-25300));   // Status::itemNotFound
//   s.description();                        // "The specified item could not be found in the keychain."
//   Status(platform::OSStatus(12345)) == Status::unexpectedError;   // unknown codes collapse
//
// The 403 cases are enumerators of `Status::Case`, reachable as `Status::param`; a Case
// converts to a Status. As an error: domain `KeychainErrorDomain`, code = the raw value,
// user info = {NSLocalizedDescriptionKey: description}. A value; thread-safe.
#pragma once

#include <QVToolbox/keychain/KeychainError.h>

#include <QVPlatform/security/SecBase.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace QVToolbox {

// The error domain of every Status.
inline constexpr const char* KeychainErrorDomain = "com.qvtoolbox.keychain.error";

class Status : public KeychainError {
public:
    // Declaration order is the order of the cases (not sorted by code).
    enum Case : std::int32_t {
        success = 0, unimplemented = -4, diskFull = -34, io = -36, opWr = -49, param = -50, wrPerm = -61,
        allocate = -108, userCanceled = -128, badReq = -909, internalComponent = -2070, notAvailable = -25291,
        readOnly = -25292, authFailed = -25293, noSuchKeychain = -25294, invalidKeychain = -25295,
        duplicateKeychain = -25296, duplicateCallback = -25297, invalidCallback = -25298,
        duplicateItem = -25299, itemNotFound = -25300, bufferTooSmall = -25301, dataTooLarge = -25302,
        noSuchAttr = -25303, invalidItemRef = -25304, invalidSearchRef = -25305, noSuchClass = -25306,
        noDefaultKeychain = -25307, interactionNotAllowed = -25308, readOnlyAttr = -25309,
        wrongSecVersion = -25310, keySizeNotAllowed = -25311, noStorageModule = -25312,
        noCertificateModule = -25313, noPolicyModule = -25314, interactionRequired = -25315,
        dataNotAvailable = -25316, dataNotModifiable = -25317, createChainFailed = -25318,
        invalidPrefsDomain = -25319, inDarkWake = -25320, aclNotSimple = -25240, policyNotFound = -25241,
        invalidTrustSetting = -25242, noAccessForItem = -25243, invalidOwnerEdit = -25244,
        trustNotAvailable = -25245, unsupportedFormat = -25256, unknownFormat = -25257,
        keyIsSensitive = -25258, multiplePrivKeys = -25259, passphraseRequired = -25260,
        invalidPasswordRef = -25261, invalidTrustSettings = -25262, noTrustSettings = -25263,
        pkcs12VerifyFailure = -25264, invalidCertificate = -26265, notSigner = -26267, policyDenied = -26270,
        invalidKey = -26274, decode = -26275, internal = -26276, unsupportedAlgorithm = -26268,
        unsupportedOperation = -26271, unsupportedPadding = -26273, itemInvalidKey = -34000,
        itemInvalidKeyType = -34001, itemInvalidValue = -34002, itemClassMissing = -34003,
        itemMatchUnsupported = -34004, useItemListUnsupported = -34005, useKeychainUnsupported = -34006,
        useKeychainListUnsupported = -34007, returnDataUnsupported = -34008,
        returnAttributesUnsupported = -34009, returnRefUnsupported = -34010,
        returnPersitentRefUnsupported = -34011, valueRefUnsupported = -34012,
        valuePersistentRefUnsupported = -34013, returnMissingPointer = -34014, matchLimitUnsupported = -34015,
        itemIllegalQuery = -34016, waitForCallback = -34017, missingEntitlement = -34018,
        upgradePending = -34019, mpSignatureInvalid = -25327, otrTooOld = -25328, otrIDTooNew = -25329,
        serviceNotAvailable = -67585, insufficientClientID = -67586, deviceReset = -67587,
        deviceFailed = -67588, appleAddAppACLSubject = -67589, applePublicKeyIncomplete = -67590,
        appleSignatureMismatch = -67591, appleInvalidKeyStartDate = -67592, appleInvalidKeyEndDate = -67593,
        conversionError = -67594, appleSSLv2Rollback = -67595, quotaExceeded = -67596, fileTooBig = -67597,
        invalidDatabaseBlob = -67598, invalidKeyBlob = -67599, incompatibleDatabaseBlob = -67600,
        incompatibleKeyBlob = -67601, hostNameMismatch = -67602, unknownCriticalExtensionFlag = -67603,
        noBasicConstraints = -67604, noBasicConstraintsCA = -67605, invalidAuthorityKeyID = -67606,
        invalidSubjectKeyID = -67607, invalidKeyUsageForPolicy = -67608, invalidExtendedKeyUsage = -67609,
        invalidIDLinkage = -67610, pathLengthConstraintExceeded = -67611, invalidRoot = -67612,
        crlExpired = -67613, crlNotValidYet = -67614, crlNotFound = -67615, crlServerDown = -67616,
        crlBadURI = -67617, unknownCertExtension = -67618, unknownCRLExtension = -67619,
        crlNotTrusted = -67620, crlPolicyFailed = -67621, idpFailure = -67622,
        smimeEmailAddressesNotFound = -67623, smimeBadExtendedKeyUsage = -67624, smimeBadKeyUsage = -67625,
        smimeKeyUsageNotCritical = -67626, smimeNoEmailAddress = -67627, smimeSubjAltNameNotCritical = -67628,
        sslBadExtendedKeyUsage = -67629, ocspBadResponse = -67630, ocspBadRequest = -67631,
        ocspUnavailable = -67632, ocspStatusUnrecognized = -67633, endOfData = -67634,
        incompleteCertRevocationCheck = -67635, networkFailure = -67636, ocspNotTrustedToAnchor = -67637,
        recordModified = -67638, ocspSignatureError = -67639, ocspNoSigner = -67640,
        ocspResponderMalformedReq = -67641, ocspResponderInternalError = -67642,
        ocspResponderTryLater = -67643, ocspResponderSignatureRequired = -67644,
        ocspResponderUnauthorized = -67645, ocspResponseNonceMismatch = -67646,
        codeSigningBadCertChainLength = -67647, codeSigningNoBasicConstraints = -67648,
        codeSigningBadPathLengthConstraint = -67649, codeSigningNoExtendedKeyUsage = -67650,
        codeSigningDevelopment = -67651, resourceSignBadCertChainLength = -67652,
        resourceSignBadExtKeyUsage = -67653, trustSettingDeny = -67654, invalidSubjectName = -67655,
        unknownQualifiedCertStatement = -67656, mobileMeRequestQueued = -67657,
        mobileMeRequestRedirected = -67658, mobileMeServerError = -67659, mobileMeServerNotAvailable = -67660,
        mobileMeServerAlreadyExists = -67661, mobileMeServerServiceErr = -67662,
        mobileMeRequestAlreadyPending = -67663, mobileMeNoRequestPending = -67664,
        mobileMeCSRVerifyFailure = -67665, mobileMeFailedConsistencyCheck = -67666, notInitialized = -67667,
        invalidHandleUsage = -67668, pvcReferentNotFound = -67669, functionIntegrityFail = -67670,
        internalError = -67671, memoryError = -67672, invalidData = -67673, mdsError = -67674,
        invalidPointer = -67675, selfCheckFailed = -67676, functionFailed = -67677,
        moduleManifestVerifyFailed = -67678, invalidGUID = -67679, invalidHandle = -67680,
        invalidDBList = -67681, invalidPassthroughID = -67682, invalidNetworkAddress = -67683,
        crlAlreadySigned = -67684, invalidNumberOfFields = -67685, verificationFailure = -67686,
        unknownTag = -67687, invalidSignature = -67688, invalidName = -67689, invalidCertificateRef = -67690,
        invalidCertificateGroup = -67691, tagNotFound = -67692, invalidQuery = -67693, invalidValue = -67694,
        callbackFailed = -67695, aclDeleteFailed = -67696, aclReplaceFailed = -67697, aclAddFailed = -67698,
        aclChangeFailed = -67699, invalidAccessCredentials = -67700, invalidRecord = -67701,
        invalidACL = -67702, invalidSampleValue = -67703, incompatibleVersion = -67704,
        privilegeNotGranted = -67705, invalidScope = -67706, pvcAlreadyConfigured = -67707,
        invalidPVC = -67708, emmLoadFailed = -67709, emmUnloadFailed = -67710, addinLoadFailed = -67711,
        invalidKeyRef = -67712, invalidKeyHierarchy = -67713, addinUnloadFailed = -67714,
        libraryReferenceNotFound = -67715, invalidAddinFunctionTable = -67716, invalidServiceMask = -67717,
        moduleNotLoaded = -67718, invalidSubServiceID = -67719, attributeNotInContext = -67720,
        moduleManagerInitializeFailed = -67721, moduleManagerNotFound = -67722,
        eventNotificationCallbackNotFound = -67723, inputLengthError = -67724, outputLengthError = -67725,
        privilegeNotSupported = -67726, deviceError = -67727, attachHandleBusy = -67728, notLoggedIn = -67729,
        algorithmMismatch = -67730, keyUsageIncorrect = -67731, keyBlobTypeIncorrect = -67732,
        keyHeaderInconsistent = -67733, unsupportedKeyFormat = -67734, unsupportedKeySize = -67735,
        invalidKeyUsageMask = -67736, unsupportedKeyUsageMask = -67737, invalidKeyAttributeMask = -67738,
        unsupportedKeyAttributeMask = -67739, invalidKeyLabel = -67740, unsupportedKeyLabel = -67741,
        invalidKeyFormat = -67742, unsupportedVectorOfBuffers = -67743, invalidInputVector = -67744,
        invalidOutputVector = -67745, invalidContext = -67746, invalidAlgorithm = -67747,
        invalidAttributeKey = -67748, missingAttributeKey = -67749, invalidAttributeInitVector = -67750,
        missingAttributeInitVector = -67751, invalidAttributeSalt = -67752, missingAttributeSalt = -67753,
        invalidAttributePadding = -67754, missingAttributePadding = -67755, invalidAttributeRandom = -67756,
        missingAttributeRandom = -67757, invalidAttributeSeed = -67758, missingAttributeSeed = -67759,
        invalidAttributePassphrase = -67760, missingAttributePassphrase = -67761,
        invalidAttributeKeyLength = -67762, missingAttributeKeyLength = -67763,
        invalidAttributeBlockSize = -67764, missingAttributeBlockSize = -67765,
        invalidAttributeOutputSize = -67766, missingAttributeOutputSize = -67767,
        invalidAttributeRounds = -67768, missingAttributeRounds = -67769, invalidAlgorithmParms = -67770,
        missingAlgorithmParms = -67771, invalidAttributeLabel = -67772, missingAttributeLabel = -67773,
        invalidAttributeKeyType = -67774, missingAttributeKeyType = -67775, invalidAttributeMode = -67776,
        missingAttributeMode = -67777, invalidAttributeEffectiveBits = -67778,
        missingAttributeEffectiveBits = -67779, invalidAttributeStartDate = -67780,
        missingAttributeStartDate = -67781, invalidAttributeEndDate = -67782, missingAttributeEndDate = -67783,
        invalidAttributeVersion = -67784, missingAttributeVersion = -67785, invalidAttributePrime = -67786,
        missingAttributePrime = -67787, invalidAttributeBase = -67788, missingAttributeBase = -67789,
        invalidAttributeSubprime = -67790, missingAttributeSubprime = -67791,
        invalidAttributeIterationCount = -67792, missingAttributeIterationCount = -67793,
        invalidAttributeDLDBHandle = -67794, missingAttributeDLDBHandle = -67795,
        invalidAttributeAccessCredentials = -67796, missingAttributeAccessCredentials = -67797,
        invalidAttributePublicKeyFormat = -67798, missingAttributePublicKeyFormat = -67799,
        invalidAttributePrivateKeyFormat = -67800, missingAttributePrivateKeyFormat = -67801,
        invalidAttributeSymmetricKeyFormat = -67802, missingAttributeSymmetricKeyFormat = -67803,
        invalidAttributeWrappedKeyFormat = -67804, missingAttributeWrappedKeyFormat = -67805,
        stagedOperationInProgress = -67806, stagedOperationNotStarted = -67807, verifyFailed = -67808,
        querySizeUnknown = -67809, blockSizeMismatch = -67810, publicKeyInconsistent = -67811,
        deviceVerifyFailed = -67812, invalidLoginName = -67813, alreadyLoggedIn = -67814,
        invalidDigestAlgorithm = -67815, invalidCRLGroup = -67816, certificateCannotOperate = -67817,
        certificateExpired = -67818, certificateNotValidYet = -67819, certificateRevoked = -67820,
        certificateSuspended = -67821, insufficientCredentials = -67822, invalidAction = -67823,
        invalidAuthority = -67824, verifyActionFailed = -67825, invalidCertAuthority = -67826,
        invaldCRLAuthority = -67827, invalidCRLEncoding = -67828, invalidCRLType = -67829, invalidCRL = -67830,
        invalidFormType = -67831, invalidID = -67832, invalidIdentifier = -67833, invalidIndex = -67834,
        invalidPolicyIdentifiers = -67835, invalidTimeString = -67836, invalidReason = -67837,
        invalidRequestInputs = -67838, invalidResponseVector = -67839, invalidStopOnPolicy = -67840,
        invalidTuple = -67841, multipleValuesUnsupported = -67842, notTrusted = -67843,
        noDefaultAuthority = -67844, rejectedForm = -67845, requestLost = -67846, requestRejected = -67847,
        unsupportedAddressType = -67848, unsupportedService = -67849, invalidTupleGroup = -67850,
        invalidBaseACLs = -67851, invalidTupleCredendtials = -67852, invalidEncoding = -67853,
        invalidValidityPeriod = -67854, invalidRequestor = -67855, requestDescriptor = -67856,
        invalidBundleInfo = -67857, invalidCRLIndex = -67858, noFieldValues = -67859,
        unsupportedFieldFormat = -67860, unsupportedIndexInfo = -67861, unsupportedLocality = -67862,
        unsupportedNumAttributes = -67863, unsupportedNumIndexes = -67864, unsupportedNumRecordTypes = -67865,
        fieldSpecifiedMultiple = -67866, incompatibleFieldFormat = -67867, invalidParsingModule = -67868,
        databaseLocked = -67869, datastoreIsOpen = -67870, missingValue = -67871,
        unsupportedQueryLimits = -67872, unsupportedNumSelectionPreds = -67873, unsupportedOperator = -67874,
        invalidDBLocation = -67875, invalidAccessRequest = -67876, invalidIndexInfo = -67877,
        invalidNewOwner = -67878, invalidModifyMode = -67879, missingRequiredExtension = -67880,
        extendedKeyUsageNotCritical = -67881, timestampMissing = -67882, timestampInvalid = -67883,
        timestampNotTrusted = -67884, timestampServiceNotAvailable = -67885, timestampBadAlg = -67886,
        timestampBadRequest = -67887, timestampBadDataFormat = -67888, timestampTimeNotAvailable = -67889,
        timestampUnacceptedPolicy = -67890, timestampUnacceptedExtension = -67891,
        timestampAddInfoNotAvailable = -67892, timestampSystemFailure = -67893, signingTimeMissing = -67894,
        timestampRejection = -67895, timestampWaiting = -67896, timestampRevocationWarning = -67897,
        timestampRevocationNotification = -67898, unexpectedError = -99999,
    };

    Status(Case value);  // NOLINT: a case is a Status
    // Never fails: an unknown code gives unexpectedError.
    explicit Status(platform::OSStatus status);
    // The case whose raw value is `rawValue`, or absent.
    static std::optional<Status> fromRawValue(std::int32_t rawValue);
    // Every case in declaration order.
    static std::span<const Case> allCases();

    Case value() const { return value_; }
    std::int32_t rawValue() const { return value_; }
    const std::string& description() const { return localizedDescription(); }
    std::int64_t errorCode() const { return value_; }
    static std::string errorDomain() { return KeychainErrorDomain; }
    const platform::Any::Dictionary& errorUserInfo() const { return userInfo(); }

    friend bool operator==(const Status& a, const Status& b) { return a.value_ == b.value_; }

private:
    Case value_;
};

// The message of a case ("" for internalComponent).
const std::string& statusMessage(Status::Case value);

}  // namespace QVToolbox

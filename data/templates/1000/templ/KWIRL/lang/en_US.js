// Check-as-you-type client texts in the interface language (the "intlang" of the request).
window.kwirl = window.kwirl || {};
kwirl.texts = {
    noSuggestions: String.raw`<#tx_no15#>`,
    ignoreAll: String.raw`<#tx_no37#>`,
    add: String.raw`<#tx_no18#>`,
    unavailable: String.raw`<#tx_no43#>`,
    suggestions: String.raw`<#tx_no14#>`,
    misspelt: String.raw`<#tx_no31#>`,
};

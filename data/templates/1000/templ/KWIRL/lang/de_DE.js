// Check-as-you-type client texts in the interface language (the "intlang" of the request).
window.kwirl = window.kwirl || {};
kwirl.texts = {
    noSuggestions: String.raw`<#tx_no15#>`,
    ignoreAll: String.raw`<#tx_no37#>`,
    add: String.raw`<#tx_no18#>`,
    unavailable: String.raw`<#tx_no43#>`,
    suggestions: String.raw`<#tx_no14#>`,
    misspelt: String.raw`<#tx_no31#>`,
    ownWords: String.raw`<#tx_no90#>`,
    remove: String.raw`<#tx_no91#>`,
    close: String.raw`<#tx_no92#>`,
    dialog: String.raw`<#tx_no46#>`,
    ignore: String.raw`<#tx_no17#>`,
    grammarProblem: String.raw`<#tx_no44#>`,
};

// The interface in German: the dialog's texts come from the service's interface strings, the
// check-as-you-type menu from its text script.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario, openDialog } = require('./harness');

test('the dialog and the menu speak German', () =>
    scenario('dialog_german', async ({ page, url }) => {
        await page.goto(url + '/');
        await page.fill('#dialog-field', 'Ein Brief mit einem Fehlr.');
        const frame = await openDialog(page, '#dialog-field', { uiLang: 'de_DE', lang: 'de_DE' });
        await frame.waitForFunction(() => document.getElementById('finish').textContent === 'Fertig');
        const texts = await frame.evaluate(() => ['tab-spell', 'change', 'changeAll', 'ignore', 'ignoreAll', 'add', 'cancel']
            .map((id) => document.getElementById(id).textContent));
        assert.deepEqual(texts, ['Rechtschreibung', 'Ändern', 'Alle ändern', 'Ignorieren', 'Alle ignorieren',
                                 'Zum Wörterbuch hinzufügen', 'Abbrechen']);
        assert.equal(await frame.textContent('#pane [data-problem].current'), 'Fehlr');
        assert.equal(await frame.evaluate(() => document.title), 'Rechtschreibprüfung');
        await page.screenshot({ path: require('node:path').join(process.env.VERBARIUM_SCREENSHOTS || '/tmp', 'dialog_german-dialog.png') });
        await frame.click('#cancel');
        await page.waitForSelector('iframe.vb-frame', { state: 'detached' });

        await page.evaluate(() => Verbarium.configure({ uiLang: 'de_DE', lang: 'de_DE' }));
        await page.fill('#kwirl-textarea', '');
        await page.click('#kwirl-textarea');
        await page.keyboard.type('Ein Fehlr');
        await page.evaluate(() => Verbarium.settled());
        await page.keyboard.press('Shift+F10');
        await page.waitForSelector('.vb-menu');
        const items = await page.$$eval('.vb-menu [role=menuitem]:not(.vb-suggestion)', (els) => els.map((e) => e.textContent));
        assert.deepEqual(items, ['Alle ignorieren', 'Zum Wörterbuch hinzufügen']);
    }));
